// The SDL message queue: keys become virtual-key messages (ALT makes them
// system keys), window changes become activation and size messages, close
// requests and signals become WM_CLOSE, everything else is dropped, one
// message is taken per call, and the quit message comes after all others.
#include <gtest/gtest.h>

#include <vector>

#include "platform/sdl/sdl_internal.h"

namespace {

class SdlEventsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
        WindowMessage leftover;
        while (PlatformPeekMessage(&leftover)) {
        }
    }
    void TearDown() override { SDL_QuitSubSystem(SDL_INIT_EVENTS); }
};

void PushKey(Uint32 type, SDL_Keycode key, SDL_Scancode scancode, Uint16 modifiers = KMOD_NONE, bool repeat = false)
{
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = scancode;
    event.key.keysym.mod = modifiers;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

void PushEventOfType(Uint32 type)
{
    SDL_Event event{};
    event.type = type;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

std::vector<WindowMessage> DrainMessages()
{
    std::vector<WindowMessage> messages;
    WindowMessage message;
    while (PlatformPeekMessage(&message))
        messages.push_back(message);
    return messages;
}

std::vector<WindowMessage> Translate(Uint8 windowEvent, int data1 = 0, int data2 = 0)
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = windowEvent;
    event.window.data1 = data1;
    event.window.data2 = data2;
    WindowMessage out[2];
    int count = SdlTranslateEvent(event, out);
    return std::vector<WindowMessage>(out, out + count);
}

TEST(SdlKeyCodes, KeysTheProgramReadsGetTheirVirtualKeyCodes)
{
    EXPECT_EQ(SdlVirtualKey(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE), VK_ESCAPE);
    EXPECT_EQ(SdlVirtualKey(SDLK_SPACE, SDL_SCANCODE_SPACE), VK_SPACE);
    EXPECT_EQ(SdlVirtualKey(SDLK_LEFT, SDL_SCANCODE_LEFT), VK_LEFT);
    EXPECT_EQ(SdlVirtualKey(SDLK_UP, SDL_SCANCODE_UP), VK_UP);
    EXPECT_EQ(SdlVirtualKey(SDLK_RIGHT, SDL_SCANCODE_RIGHT), VK_RIGHT);
    EXPECT_EQ(SdlVirtualKey(SDLK_DOWN, SDL_SCANCODE_DOWN), VK_DOWN);
    const char letters[] = "CVJKWSEDRF";
    for (const char* letter = letters; *letter != '\0'; ++letter) {
        SDL_Keycode key = SDLK_a + (*letter - 'A');
        EXPECT_EQ(SdlVirtualKey(key, SDL_GetScancodeFromKey(key)), static_cast<uint8_t>(*letter)) << *letter;
    }
}

TEST(SdlKeyCodes, OtherKeysFollowTheClassicTable)
{
    EXPECT_EQ(SdlVirtualKey(SDLK_a, SDL_SCANCODE_A), 0x41);
    EXPECT_EQ(SdlVirtualKey(SDLK_z, SDL_SCANCODE_Z), 0x5A);
    EXPECT_EQ(SdlVirtualKey(SDLK_0, SDL_SCANCODE_0), 0x30);
    EXPECT_EQ(SdlVirtualKey(SDLK_9, SDL_SCANCODE_9), 0x39);
    EXPECT_EQ(SdlVirtualKey(SDLK_RETURN, SDL_SCANCODE_RETURN), 0x0D);
    EXPECT_EQ(SdlVirtualKey(SDLK_F1, SDL_SCANCODE_F1), 0x70);
    EXPECT_EQ(SdlVirtualKey(SDLK_F12, SDL_SCANCODE_F12), 0x7B);
    EXPECT_EQ(SdlVirtualKey(SDLK_KP_5, SDL_SCANCODE_KP_5), 0x65);
    EXPECT_EQ(SdlVirtualKey(SDLK_RSHIFT, SDL_SCANCODE_RSHIFT), 0x10);
}

TEST(SdlKeyCodes, LayoutsFollowTheLabelAndFallBackToTheUsPosition)
{
    // AZERTY: the key in the US "Q" position types "a", and is A.
    EXPECT_EQ(SdlVirtualKey(SDLK_a, SDL_SCANCODE_Q), 0x41);
    // A Cyrillic letter on the US "A" key, and "&" on the US "1" key.
    EXPECT_EQ(SdlVirtualKey(0x0444, SDL_SCANCODE_A), 0x41);
    EXPECT_EQ(SdlVirtualKey(SDLK_AMPERSAND, SDL_SCANCODE_1), 0x31);
    EXPECT_EQ(SdlVirtualKey(SDLK_UNKNOWN, SDL_SCANCODE_0), 0x30);
}

TEST(SdlKeyCodes, KeysWithoutACodeGetNone)
{
    EXPECT_EQ(SdlVirtualKey(SDLK_AUDIOPLAY, SDL_SCANCODE_AUDIOPLAY), 0);
    EXPECT_EQ(SdlVirtualKey(SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN), 0);
}

TEST_F(SdlEventsTest, KeyPressesAndReleasesComeOneMessageAtATime)
{
    PushKey(SDL_KEYDOWN, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
    PushKey(SDL_KEYDOWN, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, KMOD_NONE, true);
    PushKey(SDL_KEYUP, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);

    WindowMessage message{};
    ASSERT_TRUE(PlatformPeekMessage(&message));
    EXPECT_EQ(message.message, WM_KEYDOWN);
    EXPECT_EQ(message.wParam, VK_ESCAPE);
    ASSERT_TRUE(PlatformPeekMessage(&message));
    EXPECT_EQ(message.message, WM_KEYDOWN) << "auto-repeat is a key-down too";
    ASSERT_TRUE(PlatformPeekMessage(&message));
    EXPECT_EQ(message.message, WM_KEYUP);
    EXPECT_EQ(message.wParam, VK_ESCAPE);
    EXPECT_FALSE(PlatformPeekMessage(&message));
}

TEST_F(SdlEventsTest, KeysWithAltHeldAreSystemKeys)
{
    PushKey(SDL_KEYDOWN, SDLK_w, SDL_SCANCODE_W, KMOD_LALT);
    PushKey(SDL_KEYUP, SDLK_w, SDL_SCANCODE_W, KMOD_RALT);
    PushKey(SDL_KEYDOWN, SDLK_w, SDL_SCANCODE_W, KMOD_RALT | KMOD_LCTRL);  // AltGr

    std::vector<WindowMessage> messages = DrainMessages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].message, WM_SYSKEYDOWN);
    EXPECT_EQ(messages[0].wParam, 0x57u);
    EXPECT_EQ(messages[1].message, WM_SYSKEYUP);
    EXPECT_EQ(messages[2].message, WM_KEYDOWN);
}

TEST_F(SdlEventsTest, EventsWithoutAMessageAreDroppedNotReturned)
{
    PushKey(SDL_KEYDOWN, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
    PushEventOfType(SDL_MOUSEMOTION);
    PushEventOfType(SDL_TEXTINPUT);
    PushKey(SDL_KEYDOWN, SDLK_AUDIOPLAY, SDL_SCANCODE_AUDIOPLAY);

    std::vector<WindowMessage> messages = DrainMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message, WM_KEYDOWN);
    EXPECT_EQ(messages[0].wParam, VK_ESCAPE) << "the last message retrieved stays the ESC key-down";
}

TEST_F(SdlEventsTest, ASignalToEndIsACloseRequest)
{
    PushEventOfType(SDL_QUIT);
    std::vector<WindowMessage> messages = DrainMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message, WM_CLOSE);
}

TEST_F(SdlEventsTest, QuitComesAfterEveryOtherMessageWithItsCode)
{
    PushKey(SDL_KEYDOWN, SDLK_SPACE, SDL_SCANCODE_SPACE);
    PlatformPostQuitMessage(7);
    PushKey(SDL_KEYUP, SDLK_SPACE, SDL_SCANCODE_SPACE);

    std::vector<WindowMessage> messages = DrainMessages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].message, WM_KEYDOWN);
    EXPECT_EQ(messages[1].message, WM_KEYUP);
    EXPECT_EQ(messages[2].message, WM_QUIT);
    EXPECT_EQ(static_cast<int32_t>(messages[2].wParam), 7);
    EXPECT_TRUE(DrainMessages().empty()) << "one quit message per post";
}

TEST_F(SdlEventsTest, TheSystemCloseCommandBecomesACloseRequest)
{
    EXPECT_EQ(PlatformDefaultWindowProc(nullptr, WM_SYSCOMMAND, SC_CLOSE | 0x2, 0), 0);
    EXPECT_EQ(PlatformDefaultWindowProc(nullptr, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
    EXPECT_EQ(PlatformDefaultWindowProc(nullptr, WM_SYSKEYDOWN, 0x57, 0), 0);

    std::vector<WindowMessage> messages = DrainMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message, WM_CLOSE);
}

TEST(SdlWindowEvents, MinimisingDeactivatesWithTheMinimisedFlagAndSizesToZero)
{
    std::vector<WindowMessage> messages = Translate(SDL_WINDOWEVENT_MINIMIZED);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, WM_ACTIVATE);
    EXPECT_EQ(HighWord(messages[0].wParam), 1);
    EXPECT_EQ(messages[1].message, WM_SIZE);
    EXPECT_EQ(messages[1].lParam, 0);
}

TEST(SdlWindowEvents, RestoringActivatesWithoutTheMinimisedFlag)
{
    std::vector<WindowMessage> messages = Translate(SDL_WINDOWEVENT_RESTORED);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, WM_ACTIVATE);
    EXPECT_EQ(HighWord(messages[0].wParam), 0);
    EXPECT_EQ(messages[1].message, WM_SIZE);
}

TEST(SdlWindowEvents, FocusChangesActivateAndSizeChangesCarryHeightAndWidth)
{
    std::vector<WindowMessage> gained = Translate(SDL_WINDOWEVENT_FOCUS_GAINED);
    ASSERT_EQ(gained.size(), 1u);
    EXPECT_EQ(gained[0].message, WM_ACTIVATE);
    EXPECT_EQ(HighWord(gained[0].wParam), 0) << "no window, so not minimised";

    std::vector<WindowMessage> lost = Translate(SDL_WINDOWEVENT_FOCUS_LOST);
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_EQ(lost[0].message, WM_ACTIVATE);
    EXPECT_EQ(HighWord(lost[0].wParam), 0) << "losing focus alone is no minimising";

    std::vector<WindowMessage> sized = Translate(SDL_WINDOWEVENT_SIZE_CHANGED, 1024, 768);
    ASSERT_EQ(sized.size(), 1u);
    EXPECT_EQ(sized[0].message, WM_SIZE);
    EXPECT_EQ(LowWord(static_cast<uintptr_t>(sized[0].lParam)), 1024);
    EXPECT_EQ(HighWord(static_cast<uintptr_t>(sized[0].lParam)), 768);
}

TEST(SdlWindowEvents, CloseIsACloseRequestAndOtherWindowEventsAreDropped)
{
    std::vector<WindowMessage> closed = Translate(SDL_WINDOWEVENT_CLOSE);
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(closed[0].message, WM_CLOSE);
    EXPECT_TRUE(Translate(SDL_WINDOWEVENT_ENTER).empty());
    EXPECT_TRUE(Translate(SDL_WINDOWEVENT_MOVED, 5, 5).empty());
    EXPECT_TRUE(Translate(SDL_WINDOWEVENT_RESIZED, 640, 480).empty()) << "SIZE_CHANGED already says it";
}

}  // namespace
