// cue_check.cpp — reads a recording of the sound server's output and says
// whether the program's cues sounded when and as they should.
//
//   marivelt_cue_check RECORDING RATE EVENTS PROBE
//
// RECORDING is raw signed 16-bit little-endian mono at RATE frames per
// second. EVENTS has one line per thing the test did, "<what> <seconds>", the
// seconds on the test's wall clock, in order:
//   marker     a marker sound played straight into the server: the first
//              sound of the recording, it ties the wall clock to the samples
//   chime      a SPACE press that plays the scene-change chime
//   wind       a SPACE press that enters WIND: the tornado, no chime
//   hold       an arrow key pressed and held ...
//   release    ... and let go
//   reference  the whoosh cue played straight into the server, as it sounds
//              by itself
// PROBE has the wall-clock seconds at which a process that sleeps 10 ms at a
// time woke, one a line: its gaps are how long the machine kept a ready
// process waiting.
// Prints what it measured, one line each; exits 0 when every check holds, 1
// when one fails, 2 when the input cannot be read and 3 when the machine was
// too busy to judge: the sound dropped out, or a check failed while the
// machine stalled long enough to lose a key press.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kOnsetLevel = 0.03;         // of full scale: well above the null sink's digital silence
constexpr double kQuietBefore = 0.02;        // seconds of quiet before a sound that starts
constexpr double kDropoutSeconds = 0.005;    // digital silence this long inside a sound is a dropout
constexpr double kDropoutLongest = 0.5;      // ... and no longer: the test's sounds lie further apart
constexpr double kMarkerLag = 0.3;           // seconds the marker may come later than its wall-clock time
constexpr double kChimeTailHertz = 1174.66;  // the chime's second, longer note (D6)
constexpr double kToneRatio = 20.0;          // a tone stands this far above the noise beside it
constexpr double kTornadoLevel = 0.03;       // RMS of the tornado once it has swelled
constexpr double kFirstCueAllowance = 0.040; // seconds the first cue may lag the others' median
constexpr double kReferenceMargin = 1.1;     // the held whoosh's steps against the cue's own
constexpr double kKeyHeld = 0.25;            // seconds cues.sh holds SPACE down
constexpr double kLosingStall = 0.125;       // a stall this long while SPACE is down may lose the press

struct Event {
    std::string what;
    double seconds;
};

struct Recording {
    std::vector<float> samples;  // -1 to 1
    double rate;                 // frames per second
    long long markerAt;          // sample of the marker's onset
    double markerSeconds;        // wall clock when the marker was started

    long long At(double seconds) const { return markerAt + std::llround((seconds - markerSeconds) * rate); }
    long long Clamp(long long index) const { return std::clamp<long long>(index, 0, static_cast<long long>(samples.size())); }
};

bool ReadRecording(const char* path, std::vector<float>* samples)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    samples->resize(bytes.size() / 2);
    for (size_t i = 0; i < samples->size(); ++i)
        (*samples)[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) | bytes[2 * i + 1] << 8) / 32768.0f;
    return true;
}

bool ReadEvents(const char* path, std::vector<Event>* events)
{
    std::ifstream in(path);
    if (!in)
        return false;
    Event event;
    while (in >> event.what >> event.seconds)
        events->push_back(event);
    return !events->empty();
}

bool ReadWakes(const char* path, std::vector<double>* wakes)
{
    std::ifstream in(path);
    for (double seconds; in >> seconds;)
        wakes->push_back(seconds);
    return !wakes->empty();
}

// The longest gap between the probe's wakes that overlaps `from` to `to`.
double LongestStall(const std::vector<double>& wakes, double from, double to)
{
    double longest = 0.0;
    for (size_t i = 1; i < wakes.size(); ++i) {
        if (wakes[i] > from && wakes[i - 1] < to)
            longest = std::max(longest, wakes[i] - wakes[i - 1]);
    }
    return longest;
}

// Where a sound starts between `begin` and `end`: the first sample louder
// than the onset level after a quiet stretch (so not inside the tail of the
// sound before), or -1.
long long FindOnset(const Recording& recording, long long begin, long long end)
{
    const long long quietNeeded = std::llround(kQuietBefore * recording.rate);
    long long quiet = 0;
    for (long long i = recording.Clamp(begin); i < recording.Clamp(end); ++i) {
        if (std::fabs(recording.samples[static_cast<size_t>(i)]) <= kOnsetLevel)
            ++quiet;
        else if (quiet >= quietNeeded || i == 0)
            return i;
        else
            quiet = 0;
    }
    return -1;
}

// Power at one frequency of a Hann-windowed stretch (Goertzel).
double PowerAt(const Recording& recording, long long begin, long long end, double hertz)
{
    begin = recording.Clamp(begin);
    end = recording.Clamp(end);
    double coefficient = 2.0 * std::cos(2.0 * kPi * hertz / recording.rate);
    double previous = 0.0, beforePrevious = 0.0;
    double length = static_cast<double>(end - begin);
    for (long long i = begin; i < end; ++i) {
        double window = 0.5 - 0.5 * std::cos(2.0 * kPi * static_cast<double>(i - begin) / length);
        double current = window * recording.samples[static_cast<size_t>(i)] + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    return previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
}

// How far a tone at `hertz` stands above the spectrum 60 to 150 Hz beside it.
double ToneRatio(const Recording& recording, long long begin, long long end, double hertz)
{
    const double offsets[] = {60.0, 90.0, 120.0, 150.0};
    double beside = 0.0;
    for (double offset : offsets)
        beside += PowerAt(recording, begin, end, hertz - offset) + PowerAt(recording, begin, end, hertz + offset);
    beside /= 2.0 * std::size(offsets);
    return PowerAt(recording, begin, end, hertz) / std::max(beside, 1e-12);
}

double Rms(const Recording& recording, long long begin, long long end)
{
    begin = recording.Clamp(begin);
    end = recording.Clamp(end);
    double sum = 0.0;
    for (long long i = begin; i < end; ++i)
        sum += recording.samples[static_cast<size_t>(i)] * recording.samples[static_cast<size_t>(i)];
    return end > begin ? std::sqrt(sum / static_cast<double>(end - begin)) : 0.0;
}

double LargestStep(const Recording& recording, long long begin, long long end)
{
    begin = std::max<long long>(recording.Clamp(begin), 1);
    end = recording.Clamp(end);
    double largest = 0.0;
    for (long long i = begin; i < end; ++i) {
        double step = std::fabs(recording.samples[static_cast<size_t>(i)] - recording.samples[static_cast<size_t>(i - 1)]);
        largest = std::max(largest, step);
    }
    return largest;
}

// Stretches of digital silence from `seconds` to kDropoutLongest long with
// loud sound close on both sides, from `begin` on: no cue holds one, so each
// is a stream running dry (an underrun) and breaking the sound up; the
// test's own sounds lie further apart. A server that runs at another rate
// than the recorder leaves a few faint samples (its resampler's ringing) at
// both edges of such a gap: the sound counts as close when it is loud within
// `seconds` of the silence.
int CountDropouts(const Recording& recording, long long begin, double seconds)
{
    const long long shortest = std::llround(seconds * recording.rate);
    const long long longest = std::llround(kDropoutLongest * recording.rate);
    int dropouts = 0;
    long long lastLoud = -1, silentFrom = -1, gapEnd = -1;  // gapEnd: of a silence that may be a dropout
    for (long long i = recording.Clamp(begin); i < static_cast<long long>(recording.samples.size()); ++i) {
        float sample = std::fabs(recording.samples[static_cast<size_t>(i)]);
        if (sample == 0.0f) {
            silentFrom = silentFrom < 0 ? i : silentFrom;
            continue;
        }
        if (silentFrom >= 0 && i - silentFrom >= shortest && i - silentFrom <= longest && lastLoud >= 0 &&
            silentFrom - lastLoud <= shortest)
            gapEnd = i;
        silentFrom = -1;
        if (sample > kOnsetLevel) {
            dropouts += gapEnd >= 0 && i - gapEnd <= shortest;
            gapEnd = -1;
            lastLoud = i;
        }
    }
    return dropouts;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t half = values.size() / 2;
    return values.size() % 2 == 1 ? values[half] : 0.5 * (values[half - 1] + values[half]);
}

int failures = 0;

void Check(bool holds, const std::string& what)
{
    std::printf("%s: %s\n", holds ? "ok" : "FAIL", what.c_str());
    if (!holds)
        ++failures;
}

std::string Format(const char* format, double value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}
std::string Times(double ratio) { return Format("%.3g times", ratio); }
std::string Milliseconds(double seconds) { return Format("%.0f ms", seconds * 1000.0); }

}  // namespace

int main(int argc, char** argv)
{
    Recording recording{};
    std::vector<Event> events;
    std::vector<double> wakes;
    if (argc != 5 || !ReadRecording(argv[1], &recording.samples) || !ReadEvents(argv[3], &events) ||
        events.front().what != "marker" || !ReadWakes(argv[4], &wakes)) {
        std::fprintf(stderr, "usage: %s RECORDING RATE EVENTS PROBE (the events starting with the marker)\n", argv[0]);
        return 2;
    }
    recording.rate = std::atof(argv[2]);
    recording.markerSeconds = events.front().seconds;
    recording.markerAt = FindOnset(recording, 0, static_cast<long long>(recording.samples.size()));
    // The recorder starts in silence; a sound at its very first sample is no marker.
    if (recording.markerAt == 0)
        recording.markerAt = -1;
    if (recording.markerAt < 0 || recording.rate <= 0.0) {
        std::printf("FAIL: the marker was not heard\n");
        return 1;
    }
    const long long second = std::llround(recording.rate);
    const long long lead = std::llround(kMarkerLag * recording.rate);
    // The marker's own start-up lag puts every press that much later on the
    // recording's time line than it was, and so shortens every delay alike.
    // A press's sound is looked for from `lead` before the press to `lead`
    // before the next event.
    auto windowEnd = [&](size_t index) {
        return index + 1 < events.size() ? recording.At(events[index + 1].seconds) - lead
                                         : static_cast<long long>(recording.samples.size());
    };

    std::vector<double> chimeDelays;
    std::vector<size_t> windPresses;
    long long holdBegin = -1, holdEnd = -1, referenceBegin = -1, referenceEnd = -1;
    for (size_t index = 1; index < events.size(); ++index) {
        const Event& event = events[index];
        long long pressAt = recording.At(event.seconds);
        if (event.what == "chime") {
            long long onset = FindOnset(recording, pressAt - lead, windowEnd(index));
            std::string name = "chime " + std::to_string(chimeDelays.size() + 1);
            if (onset < 0) {
                Check(false, name + " heard after its key");
                continue;
            }
            double delay = static_cast<double>(onset - pressAt) / recording.rate;
            double tone = ToneRatio(recording, onset + second * 14 / 100, onset + second * 40 / 100, kChimeTailHertz);
            Check(tone >= kToneRatio,
                  name + " heard " + Milliseconds(delay) + " after its key, its D6 note " + Times(tone) + " the noise beside it");
            chimeDelays.push_back(delay);
        } else if (event.what == "wind") {
            windPresses.push_back(index);
        } else if (event.what == "hold") {
            holdBegin = pressAt - lead;
        } else if (event.what == "release") {
            holdEnd = windowEnd(index);
        } else if (event.what == "reference") {
            referenceBegin = pressAt - lead;
            referenceEnd = windowEnd(index);
        }
    }

    int dropouts = CountDropouts(recording, recording.markerAt, kDropoutSeconds);
    std::printf("%d dropouts (silence of %s or more inside a sound)\n", dropouts, Milliseconds(kDropoutSeconds).c_str());
    double stall = 0.0;
    for (const Event& event : events) {
        if (event.what == "chime" || event.what == "wind")
            stall = std::max(stall, LongestStall(wakes, event.seconds, event.seconds + kKeyHeld));
    }
    std::printf("a ready process kept waiting up to %s while SPACE was down\n", Milliseconds(stall).c_str());
    if (chimeDelays.size() >= 2) {
        double first = chimeDelays.front();
        double later = Median(std::vector<double>(chimeDelays.begin() + 1, chimeDelays.end()));
        Check(first - later <= kFirstCueAllowance, "the first cue " + Milliseconds(first) +
                                                       " after its key, the later ones' median " + Milliseconds(later));
    } else {
        Check(false, "at least two chimes heard");
    }
    double typicalDelay = chimeDelays.empty() ? 0.0 : Median(chimeDelays);
    for (size_t index : windPresses) {
        long long pressAt = recording.At(events[index].seconds);
        long long heardAt = pressAt + std::llround(typicalDelay * recording.rate);
        double tone = ToneRatio(recording, heardAt, heardAt + second / 2, kChimeTailHertz);
        Check(tone < kToneRatio, "entering WIND: no chime tail (D6 " + Times(tone) + " the noise beside it)");
        double level = Rms(recording, heardAt + second * 8 / 10, heardAt + second * 18 / 10);
        Check(level >= kTornadoLevel, "entering WIND: the tornado heard, RMS " + std::to_string(level));
    }
    if (holdBegin >= 0 && holdEnd > holdBegin && referenceBegin >= 0) {
        double held = LargestStep(recording, holdBegin, holdEnd);
        double own = LargestStep(recording, referenceBegin, referenceEnd);
        Check(FindOnset(recording, holdBegin, holdEnd) >= 0 && own > 0.0, "the whoosh heard while an arrow is held");
        Check(held <= kReferenceMargin * own, "the held whoosh's largest step " + std::to_string(held) +
                                                  ", the cue's own " + std::to_string(own));
    }
    // Streams that ran dry (the test's own marker and reference do too, on a
    // machine with far more work than cores) delay and break up sounds: the
    // recording then cannot tell a late cue from a starved machine. A machine
    // that keeps a ready process waiting half as long as SPACE is held may
    // keep the keys' sender or the program waiting the whole hold: the press
    // is lost, and with it its cue and every check that needs it.
    if (dropouts > 0 || (failures > 0 && stall >= kLosingStall))
        return 3;
    return failures == 0 ? 0 : 1;
}
