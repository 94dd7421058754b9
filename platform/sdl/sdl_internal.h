// What the SDL backend's files share: the game window and the picture shown in
// it, the event queue the game's pump reads, the pointer as last seen, and the
// audio state.
#pragma once
#include <SDL.h>
#include <string>

#include "platform/platform.h"

extern SDL_Window* gameWindow;        // nullptr until the shell first shapes it
extern int pictureWidth, pictureHeight;  // the client size the shell asked for: the frames' size
extern bool videoIsX11;               // X11 can read the pointer anywhere on the desktop
extern int pointerWindowX, pointerWindowY;  // last pointer position seen over the window, in window units
extern bool messageBoxOpen;           // the game's pump waits while a box is up
extern uint32_t messageBoxMs;         // time spent with boxes open, for the start-up report

// Called by PlatformInit; opens the audio device if there is one (else silence).
void OpenAudio();
// Called by the music tests between recordings: closes the device and forgets
// the music and the effects (the game itself just ends with the process).
void CloseAudio();
// Called by PlatformInit; starts the millisecond clock at zero.
void StartClock();
// Called by PlatformInit once the mixer is up: the SDL event type the music
// hook posts from the audio thread.
extern uint32_t musicDoneEventType;
// Called by the event translation for a music-finished event; true with the
// reason when the game should be told.
bool TakeMusicDone(const SDL_Event& event, int* reason);
// Called by PlatformStopMusic: queues the notification a stopped play reports.
void QueueEvent(int type, int musicReason = 0);
// Called for every SDL event that is not a message box's own: turns it into a
// game event or tracks the pointer.
void TranslateEvent(const SDL_Event& event);
// Called on a joystick device change: forgets the opened joysticks.
void CloseJoysticks();
// Called by the full-screen switch and the message boxes: the display the game
// window is on, the first one before there is a window.
int GameDisplay();
// Called by the message boxes: shows 0x00RRGGBB pixels in a window's surface.
void PresentPixels(SDL_Window* window, const uint32_t* pixels, int width, int height, int pitch);
// Called when the game window is made: chooses how its frames are shown (the
// graphics card through SDL's renderer when there is one, else the game's own
// scaler). StopPresenting is called before the window goes.
void StartPresenting(SDL_Window* window);
void StopPresenting();
// Called by the tests: true when SDL's renderer draws the frames.
bool PresentingWithRenderer();
// Called by the pointer functions: a position in window units (SDL's, as the
// mouse events give them) to the picture pixel under it, and a picture pixel
// to the window position over its centre.
void PictureFromWindow(int windowX, int windowY, int* x, int* y);
void WindowFromPicture(int x, int y, int* windowX, int* windowY);
// Called by the windowed shapes: the desktop's scale factor (1 unless the
// desktop is set for high-DPI), and the same read from an Xft.dpi value.
double DesktopScale();
double DesktopScaleFromDpi(const char* dpi);
