#pragma once

#include "common/text.h"
#include "common/truth.h"

// The main module: start-up, the unexpected-error routine and the three default settings.
namespace modMain {

// The stored defaults as last loaded or saved; false until the first load.
extern Truth blnAllFolders;
extern Truth blnTwoPane;
extern Truth blnSideMenu;

inline constexpr TextView kAppTitle = u"Quillmarrow Default Settings";
inline constexpr TextView kAlreadyRunning =
    u"Quillmarrow Default Settings is already running on your system.";
inline constexpr TextView kUnexpectedError = u"Unexpected Error";
inline constexpr TextView kSaveFailed = u"The default settings could not be saved.";

inline constexpr TextView kSettingsKey = u"Software\\Vendrakel\\Quillmarrow 2004";
inline constexpr TextView kAllFoldersValue = u"AllFolders";
inline constexpr TextView kTwoPaneValue = u"TwoPane";
inline constexpr TextView kSideMenuValue = u"SideMenu";

// Start-up: refuses a second instance, otherwise shows the options dialog modelessly.
void Main();
// Unloads every loaded form, then tells the user "Unexpected Error". Has no trap of its own.
void HandleUnexpectedError();

// Reads the three values, normalises them into the Booleans and writes all three back.
void LoadDefaultSettings();
// Loads the defaults and sets the dialog's six option buttons from them.
void ShowDefaultSettings();
// Takes the defaults from the dialog's option buttons and stores them.
void SaveDefaultSettings();

}  // namespace modMain
