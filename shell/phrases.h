// The game's own words outside its pictures: the boxes' questions, captions
// and errors, the window's first titles and the stage's missing-file line,
// in the player's language (LanguageOf the running game's settings). The
// Japanese are the game's words as they always were; the English say the
// same. The boxes' buttons follow through PlatformSetBoxLanguage.
#pragma once

enum Phrase {
    PHRASE_FULL_SCREEN_QUESTION,  // the start-up question
    PHRASE_FULL_SCREEN_CAPTION,
    PHRASE_QUIT_QUESTION,         // closing the window
    PHRASE_QUIT_CAPTION,
    PHRASE_ERROR_CAPTION,         // every error box
    PHRASE_PICTURE_NOT_LOADED,    // followed by the picture's path
    PHRASE_OUT_OF_MEMORY,         // followed by ":" and what was being made, if known
    PHRASE_CANNOT_REPLAY,         // followed by the recording's path and why
    PHRASE_STAGE_NOT_OPENED,      // the line on standard output, without its newline
    PHRASE_FIRST_WINDOW_TITLE,    // the tiny window before anything is shown
    PHRASE_QUESTION_WINDOW_TITLE, // the window standing while the player is asked
    PHRASE_QUIT_UNSAVED_QUESTION, // closing the window with a stage's edits not saved
    PHRASE_COUNT
};

// The phrase in the language the settings ask for now (UTF-8, static).
// Out-of-range phrases give "".
const char* Said(int phrase);
// Letters the boxes' buttons in that language from now on: to be called once
// the settings are read and whenever they change.
void UseSettingsLanguage();
