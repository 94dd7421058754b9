// Message boxes on Windows, through MessageBoxW so that the game's UTF-8
// Japanese texts show whatever the system's ANSI code page is.
#include "platform/windows/win_internal.h"

// The system letters its own boxes, buttons included.
void PlatformLetterBoxes(const BoxLettering&) {}
void PlatformSetBoxLanguage(int) {}

int PlatformSystemLanguage() {
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? PLATFORM_LANGUAGE_JAPANESE
                                                                       : PLATFORM_LANGUAGE_ENGLISH;
}

bool PlatformMessageBox(const char* text, const char* caption, int style) {
    StopPadRumble();  // no frame reads the pad while the box waits
    std::wstring wideText = Utf8ToWide(text);
    std::wstring wideCaption = Utf8ToWide(caption);
    UINT flags = MB_YESNO;
    // The start-up question has no owner (the window is still a 1 x 1 speck);
    // the quit confirmation and the load error belong to the game window.
    HWND owner = mainWindow;
    switch (style) {
    case PLATFORM_BOX_OK_ERROR:
        flags = MB_OK | MB_ICONERROR;
        break;
    case PLATFORM_BOX_YESNO_QUESTION:
        flags = MB_YESNO | MB_ICONQUESTION;
        break;
    default:
        flags = MB_YESNO;
        owner = nullptr;
        break;
    }
    int answer = MessageBoxW(owner, wideText.c_str(), wideCaption.c_str(), flags);
    return answer == IDYES || answer == IDOK;
}

// The boxes here are modal: the answer comes at once.
int PlatformAskBox(const char* text, const char* caption, int style)
{
    return PlatformMessageBox(text, caption, style) ? 1 : 0;
}
