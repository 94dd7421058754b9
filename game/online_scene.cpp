// The online records page: its rows, the typing of the name and the
// address, and keeping what changed.
#include "game/online_scene.h"

#include "game/assets.h"
#include "game/menu_draw.h"
#include "game/scenes.h"
#include "gfx/blit.h"
#include "input/input.h"
#include "shell/shell.h"

namespace {

const char* const ROW_NAMES[ONLINE_ROWS] = {"ONLINE RECORDS", "NAME", "SERVER", "BACK"};
constexpr int VALUE_X = 560;
// The most of an address the row shows: its end, where the typing is.
constexpr size_t SHOWN_SERVER = 24;

// The keys that type, Windows virtual-key codes: Backspace and the US
// layout's - ; / . keys among them.
enum { KEY_BACKSPACE = 0x08, KEY_SEMICOLON = 0xBA, KEY_MINUS = 0xBD, KEY_PERIOD = 0xBE, KEY_SLASH = 0xBF };

// The character a key types, Shift held or not; 0 for none.
char Typed(int key, bool shift)
{
    if (key >= 'A' && key <= 'Z') return shift ? (char)key : (char)(key - 'A' + 'a');
    if (key >= '0' && key <= '9') return shift ? 0 : (char)key;
    switch (key) {
    case VK_SPACE: return ' ';
    case KEY_SEMICOLON: return shift ? ':' : 0;
    case KEY_MINUS: return shift ? '_' : '-';
    case KEY_PERIOD: return shift ? 0 : '.';
    case KEY_SLASH: return shift ? 0 : '/';
    default: return 0;
    }
}

}  // namespace

void TypeOnlineText(std::string* text, int row)
{
    size_t most = row == ONLINE_ROW_NAME ? ONLINE_NAME_MAX : ONLINE_SERVER_MAX;
    bool shift = IsKeyDown(VK_SHIFT);
    for (int n = TakeKeyPresses(KEY_BACKSPACE); n > 0 && !text->empty(); n--) text->pop_back();
    static const int KEYS[] = {VK_SPACE, KEY_SEMICOLON, KEY_MINUS, KEY_PERIOD, KEY_SLASH};
    auto type = [&](int key) {
        char c = Typed(key, shift);
        for (int n = TakeKeyPresses(key); n > 0; n--)
            if (c && text->size() < most && !(row == ONLINE_ROW_SERVER && c == ' ')) *text += c;
    };
    for (int key = 'A'; key <= 'Z'; key++) type(key);
    for (int key = '0'; key <= '9'; key++) type(key);
    for (int key : KEYS) type(key);
}

std::string OnlineValueText(const Settings& s, int row, bool chosen)
{
    if (row == ONLINE_ROW_SWITCH) return s.online ? "< ON >" : "< OFF >";
    if (row != ONLINE_ROW_NAME && row != ONLINE_ROW_SERVER) return "";
    std::string text = row == ONLINE_ROW_NAME ? s.onlineName : s.onlineServer;
    if (text.size() > SHOWN_SERVER) text = "..." + text.substr(text.size() - SHOWN_SERVER);
    // Upper-case only: the lettering has no small letters to show.
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = (char)(c - 'a' + 'A');
    if (chosen) return text + "_";
    return text.empty() ? "(NONE)" : text;
}

SceneChange EnterOnlinePage(OnlinePageScene& page, FrameClock&)
{
    page.menu = StartMenu(MenuLayout{240, 128, 800, 52, ONLINE_ROWS, 48});
    page.edited = settings;
    page.imgSky = DarkenedNightSky();
    // What was typed before the page opened types nothing.
    std::string none;
    TypeOnlineText(&none, ONLINE_ROW_SERVER);
    return Stay();
}

void StepOnlinePage(OnlinePageScene& page, const FrameClock&, FrameEnd* end)
{
    SetMouseCursor(1);
    CopySurface(backBuffer, 0, 0, 1280, 720, page.imgSky);
    MenuInput in = ReadMenuInput(page.menu);
    int action = StepMenu(&page.menu, in);
    int row = page.menu.selected;
    page.leaving = action == MENU_BACK || (action == MENU_CHOSEN && row == ONLINE_ROW_BACK);
    if (row == ONLINE_ROW_SWITCH && (action == MENU_LESS || action == MENU_MORE || action == MENU_CHOSEN))
        page.edited.online = !page.edited.online;
    if (row == ONLINE_ROW_NAME) TypeOnlineText(&page.edited.onlineName, row);
    else if (row == ONLINE_ROW_SERVER) TypeOnlineText(&page.edited.onlineServer, row);
    else {
        std::string none;
        TypeOnlineText(&none, ONLINE_ROW_SERVER);
    }
    DrawMenuHeading(300, 0, "ONLINE RECORDS");
    for (int r = 0; r < ONLINE_ROWS; r++) {
        DrawMenuRow(page.menu, r, ROW_NAMES[r]);
        DrawMenuValue(page.menu, r, VALUE_X, OnlineValueText(page.edited, r, r == row).c_str());
    }
    *end = FrameEnd{page.leaving ? FRAME_TRACED : FRAME_SHOWN, "online", SCENE_PLAYING, 0, ""};
}

SceneChange AfterOnlinePageFrame(OnlinePageScene& page, FrameClock&)
{
    if (!page.leaving) return Stay();
    Settings& e = page.edited;
    while (!e.onlineName.empty() && e.onlineName.back() == ' ') e.onlineName.pop_back();
    while (!e.onlineName.empty() && e.onlineName.front() == ' ') e.onlineName.erase(0, 1);
    if (!GoodOnlineName(e.onlineName)) e.onlineName.clear();
    if (!GoodServerAddress(e.onlineServer)) e.onlineServer.clear();
    if (!(e == settings)) {
        settings = e;
        SaveSettings(SettingsFilePath(), settings);
    }
    DeleteSurface(page.imgSky);
    page.imgSky = nullptr;
    return Pop(0);
}
