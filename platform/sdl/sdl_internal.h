// What the SDL backend's files share: the game window and the picture shown in
// it, the event queue the game's pump reads, the pointer as last seen, and the
// seams between the audio, the events and the presenting.
//
// Order: PlatformInit sets SDL's video and joysticks up, then OpenAudio and
// StartClock. The game window is made at the first shaping
// (PlatformSetWindowed or PlatformSetFullscreen), which calls StartPresenting
// for it; PlatformDestroyWindow calls StopPresenting before the window goes,
// and gameWindow is nullptr again. The picture is 1 x 1 until first shaped.
// Everything here runs on the game's thread; the mixer's own callbacks on the
// audio thread only count the music's passes and post SDL events
// (musicDoneEventType), which the game's thread takes from SDL's queue.
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

// Opens the audio device if there is one, quietening the sound libraries'
// complaints on standard error meanwhile; without one the game runs in
// silence and every audio function does nothing (false where it answers).
// SDL's events must be up (PlatformInit's video brings them), for the music's
// reports. Once, or again after CloseAudio.
void OpenAudio();
// Closes the device and forgets the music and the effects, so that OpenAudio
// may open it afresh (the music tests do, between recordings; the game itself
// just ends with the process). Nothing when no device is open.
void CloseAudio();
// Starts the millisecond clock at zero (and makes sleeps end within a
// microsecond of their time). Once, before the clock is first read.
void StartClock();
// The SDL event type the music hook posts from the audio thread: set by
// OpenAudio once the mixer is up, (uint32_t)-1 without a device.
extern uint32_t musicDoneEventType;
// For a music-finished event of the play under way while a notification is
// pending: true with the reason (MUSIC_DONE_SUCCESSFUL), and the notification
// is taken, so that the game is told once. False for any other event, a late
// report of an earlier play, or no notification pending.
bool TakeMusicDone(const SDL_Event& event, int* reason);
// Appends an event to the game's queue, for PlatformPollEvent. The game's
// thread only: the queue has no lock.
void QueueEvent(int type, int musicReason = 0);
// Takes in one SDL event meant for the game: the game window's close request,
// a joystick coming or going (the opened joysticks are forgotten) and a
// finished song become game events; a pointer move over the game window and
// the window's focus coming and going are remembered. Anything else is let be. A message box's own events are the
// box's, not for here.
void TranslateEvent(const SDL_Event& event);
// Closes every joystick opened so far: device indexes move when one comes or
// goes, and PlatformJoystickPos opens each again when asked for it.
void CloseJoysticks();
// Sets SDL's game controllers up, with the player's own mapping file
// (gamecontrollerdb.txt in the settings folder) when there is one. Once, at
// PlatformInit; SDL then reports every pad already plugged in as added.
void StartPads();
// A joystick (by device index) came: opened as a pad when SDL maps it as
// one, once however often it is reported. A pad (by its joystick instance
// id) went: closed and forgotten.
void PadAdded(int deviceIndex);
void PadRemoved(int instance);
// The mouse wheel turned: notches for PlatformTakeWheelSteps, up positive.
void AddWheelSteps(int steps);
// A key of the game window went down (not the system's repeat of one held):
// one press for PlatformTakeKeyPresses.
void AddKeyPress(SDL_Scancode code);
// The display the game window is on; the first one (0) before there is a
// window, or when SDL cannot tell.
int GameDisplay();
// Shows 0x00RRGGBB pixels (pitch in pixels) at the top-left of a window's
// surface, cut to the smaller of the two sizes; nothing when the window has
// no surface. For windows without a renderer: the message boxes'.
void PresentPixels(SDL_Window* window, const uint32_t* pixels, int width, int height, int pitch);
// Chooses how the frames of a newly made game window are shown: the graphics
// card through SDL's renderer when there is one (a renderer that is really
// the processor is passed over), else the game's own scaler;
// SDL_RENDER_DRIVER ("software": the game's scaler) and
// SDL_RENDER_SCALE_QUALITY are honoured. Once per window. StopPresenting
// frees the renderer and its textures, and must come before the window goes;
// harmless when there is none.
void StartPresenting(SDL_Window* window);
void StopPresenting();
// True when SDL's renderer draws the frames, false for the game's own scaler
// (and before there is a window).
bool PresentingWithRenderer();
// A position in window units (SDL's, as the mouse events give them) to the
// picture pixel under it (not clamped: outside the picture it is negative or
// past its size), and a picture pixel to the window position over its centre.
// Without a window, or while its size is unknown, a position passes unchanged.
void PictureFromWindow(int windowX, int windowY, int* x, int* y);
void WindowFromPicture(int x, int y, int* windowX, int* windowY);
// The desktop's scale factor, 1 to 8: on X11 its Xft.dpi over 96, else 1 (on
// Wayland the window's units are scaled already), and 1 before there is a
// window. DesktopScaleFromDpi reads an Xft.dpi value the same way: 1 for
// nullptr, for what is no number and for 96 or less.
double DesktopScale();
double DesktopScaleFromDpi(const char* dpi);
