#pragma once
// One launch entry: a program, document, folder or shortcut target with its
// title, working folder, arguments, icon choice and after-launch action. An item
// with an empty Path is an unused slot.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/pixmap.h"
#include "platform/system.h"
#include "model/exacttexts.h"
#include "ybfs/ybfs2.h"

// Launch kinds.
enum class TLaunchKind { Program = 0, Document = 1, Folder = 2 };

// Window states an item asks for.
const uint8_t wsNormal = 0, wsMinimized = 1, wsMaximized = 2;

// After-launch actions; an item's -1 means the document's default applies.
const int8_t eaDefault = -1, eaNothing = 0, eaMinimize = 1, eaExit = 2;

class TIconList;

class TItem : public YBFS::TYBObject {
public:
    // hasImage: the item keeps a pre-painted face (page items do).
    explicit TItem(bool hasImage);
    ~TItem() override;
    TItem(const TItem&) = delete;
    TItem& operator=(const TItem&) = delete;

    // Nothing is reset before a read: a page reads into the items it holds.
    void Reset(bool) override {}
    void ReadMembers() override;
    void WriteMembers() override;
    // Checks an item body in a file's bytes (nested at depth, within end) as a
    // parse and ReadMembers would: throws the structure errors a parse throws; sets
    // readable false where ReadMembers would find a field of the wrong kind or
    // size; gives the icon slot it would read. Returns the byte after the body.
    static const uint8_t* CheckStored(const uint8_t* body, const uint8_t* end, int depth, int& imageIndex,
                                      bool& readable);

    // Empties every field but WindowState, then evaluates the (absent) icon.
    void ClearItem();
    // Copies the user's fields, WindowState included; the icon slot and the face stay.
    void Assign(const TItem& source);

    // 0 program (.EXE, .LNK), 1 document, 2 folder (a path of up to 3 characters,
    // a drive root, without asking the disk).
    static TLaunchKind GetKind(const std::string& path);
    // The shell's show command for WindowState.
    int GetShowCmd() const;
    // ExeAnd, or the document's default when it is -1.
    int GetExeAnd() const;

    // Fills the item from a dropped or chosen path; a shortcut file gives its
    // target, arguments, working folder, icon and window state.
    void SetFromFile(const std::string& file);
    // Advertised office shortcuts name an icon program in an installer folder;
    // this gives the program that shortcut stands for.
    static std::string MapOfficeTarget(const std::string& path);

    // Starts the item; params are the quoted names of dropped files or empty.
    // A folder item copies dropped files into itself (33 on success, 2 on failure).
    // Returns the shell's code: greater than 32 is success.
    int Run(const std::string& params);
    // Splits dropped names (quoted or separated by white space) into a list.
    static std::vector<std::string> SplitFileList(const std::string& params);
    int OpenLFol();
    int OpenLHelp();

    // Evaluates the icon into the document's icon list (unless onlyIfUnassigned
    // and the slot is already known), then repaints the face. The icon may come
    // later (the document's fetcher has workers): the face shows the title now and
    // is painted again when the pixels arrive.
    void RefreshIcon(bool onlyIfUnassigned);
    // Reads the icon of the same target again (F5, a start): when the target cannot
    // be reached the icon the item has is kept, dimmed.
    void ReloadIcon();
    // RefreshIcon(true) once after a read: a stored slot is used as it is.
    void PrepareIcon();
    // Repaints the face when the icon has been evaluated (the view changed).
    void RedrawImage();
    // Makes and paints (through the main window) the face of a non-empty page
    // item; drops it otherwise.
    void UpdateImage();

    std::string Name;
    std::string Path;
    std::string IFol;
    std::string Arg;
    std::string Comment;
    std::string LFol;
    std::string LHelp;
    std::string Icon;
    int32_t IconN = 0;
    int8_t ExeAnd = eaDefault;
    int32_t ImageIndex = -2;
    uint8_t WindowState = wsNormal;
    std::unique_ptr<platform::TPackedPixmap> Image;
    bool Prepared = false;
    const bool HasImage;
    // The fetcher's request for this item's icon; 0 when none is outstanding.
    uint32_t IconTicket = 0;
    // The slot was taken for an icon whose pixels have not come: it is stored as
    // not yet evaluated, so that a save in between never keeps an empty cell.
    bool IconAwaited = false;
    // The target could not be reached when its icon was read last: the icon of the
    // slot is the last good one, drawn dimmed.
    bool IconDimmed = false;
    // An icon that has come and waits for its turn to go into the list; the face
    // shows it meanwhile.
    std::unique_ptr<platform::TIconImage> PreviewIcon;
    // The icon at the size of a display scaled above 100 %, read from the same file
    // as the list's and kept in memory only, while the item is in view.
    struct TLargeIcon {
        std::unique_ptr<platform::TIconImage> Image;
        std::string From;     // what it was read from (the fetcher's key)
        uint32_t Ticket = 0;  // the fetcher's request; 0 when none is out
        bool Wanted = false;  // in view: read again whenever the list's icon is
    };
    TLargeIcon Large;

private:
    void EvaluateIcon(bool onlyIfUnassigned, bool keepLastGood);
    bool CopyIntoFolder(const std::string& params);

    // The exact-texts field as last read, kept only when it holds something (most
    // items have none): what a newer program stored in it survives a save.
    std::unique_ptr<TExactTexts> exact_;
};
