#pragma once
// The decisions behind the main window's commands that need no window: which menu
// entries are enabled, how a page name becomes a button caption, how dropped files
// become a parameter text, which dropped names are refused, and what a failed start
// says. The window applies them; they are tested natively.
#include <string>
#include <vector>

class TItem;

// Enabled states of the item commands (the item popup and its main-menu twins).
struct TItemMenuState {
    bool Copy = false;
    bool Edit = false;
    bool Delete = false;
    bool Cut = false;
    bool Paste = false;
    bool Exchange = false;
    bool LFol = false;
    bool LHelp = false;
    bool Insert = false;
};

// The item under the cursor and what surrounds it: independent is true for a button
// of the independent row, locked for the edit lock, clipEmpty when nothing was
// copied, hasCopySource when the copy source is set (its page is not -1).
TItemMenuState ItemMenuState(const TItem& item, bool independent, bool locked, bool clipEmpty,
                             bool hasCopySource);

// Enabled states of the page commands (the page popup and its main-menu twins).
struct TPageMenuState {
    bool Rename = false;
    bool NewPage = false;
    bool Delete = false;
    bool Up = false;
    bool Down = false;
};

TPageMenuState PageMenuState(bool locked, int currentPage, int pageCount);

// A page name as a button caption: every "&" doubled, so that the name shows as it
// stands and no character becomes an access key.
std::string DoubleAmpersands(const std::string& name);

// Dropped paths as one parameter text: each in double quotes, separated by one space.
std::string JoinDropParameters(const std::vector<std::string>& paths);

// One dropped name as the shell gave it.
struct TDroppedName {
    std::string Path;
    std::string DisplayName; // for messages ('?' where a character cannot be shown)
};

// The longest path, in characters, that an item stores and starts.
const size_t kMaxDroppedPath = 259;

// Empty when every name can be taken; otherwise the message that refuses the drop
// (about the first name that is too long).
std::string DropRefusal(const std::vector<TDroppedName>& names);

// The message of a failed start (a result of 32 or less).
std::string LaunchErrorText(int result);

// The questions of the delete commands.
extern const char* const kDeletePageQuestion;
extern const char* const kDeleteItemQuestion;
// The caption of the program's own boxes.
extern const char* const kBoxCaption;
