// dib_refusal.cpp — what each of the reader's refusals shows: the box's text
// (one of three, as the program has always shown them) and, for dibcheck and
// the fuzzers, a line naming the check that refused the file.
#include "image/dib_format.h"

namespace {

struct Meaning {
    DibFault fault;
    const char* text;
};

Meaning MeaningOf(DibRefusal refusal)
{
    switch (refusal) {
    case DibRefusal::None: return {DibFault::None, "read"};
    case DibRefusal::FileHeaderCut: return {DibFault::UnknownFormat, "the file header is cut short"};
    case DibRefusal::HeaderCut:
        return {DibFault::UnknownFormat, "the information header runs past the end of the file"};
    case DibRefusal::UnknownHeaderSize:
        return {DibFault::UnknownFormat, "an information header of neither 12, 40, 52, 56, 108 nor 124 bytes"};
    case DibRefusal::NoPixels: return {DibFault::ConversionError, "a width below 1 or a height of 0"};
    case DibRefusal::TooLarge:
        return {DibFault::OutOfMemory, "over 32768 pixels a side or 512 MiB of RGB"};
    case DibRefusal::UnreadFormat:
        return {DibFault::ConversionError, "bits per pixel and compression the reader does not read"};
    case DibRefusal::MasksCut: return {DibFault::ConversionError, "the colour masks run past the end of the file"};
    case DibRefusal::MaskWithGap: return {DibFault::ConversionError, "a colour mask whose bits are not one run"};
    case DibRefusal::ColorTableCut:
        return {DibFault::ConversionError, "the colour table runs past the end of the file"};
    case DibRefusal::PixelDataCut:
        return {DibFault::ConversionError, "the pixel data runs past the end of the file"};
    case DibRefusal::RunsCut:
        return {DibFault::ConversionError, "the run-length data ends before the end of the bitmap"};
    case DibRefusal::NoMemory: return {DibFault::OutOfMemory, "no memory for the pixels"};
    }
    return {DibFault::ConversionError, "an unknown refusal"};
}

}  // namespace

const char* DibFaultText(DibFault fault)
{
    switch (fault) {
    case DibFault::OutOfMemory: return "Out of memory.";
    case DibFault::UnknownFormat: return "Unknown DIB file format.";
    case DibFault::ConversionError: return "Image file conversion error.";
    case DibFault::None: break;
    }
    return nullptr;
}

DibFault DibRefusalFault(DibRefusal refusal) { return MeaningOf(refusal).fault; }

const char* DibRefusalText(DibRefusal refusal) { return MeaningOf(refusal).text; }
