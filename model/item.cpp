#include "model/item.h"

#include <cstring>

#include "model/document.h"
#include "model/host.h"
#include "model/iconfetch.h"
#include "model/iconlist.h"
#include "platform/system.h"
#include "platform/text.h"
#include "shell/common.h"
#include "shell/linkstate.h"

namespace {

// The shell's show commands.
const int kSwHide = 0, kSwShowNormal = 1, kSwShowMinimized = 2, kSwShowMaximized = 3, kSwShowDefault = 10;

// Results of the shell's convention returned without asking it.
const int kFileNotFound = 2, kCopied = 33;

// The longest file system path the shell starts as given; a longer one would be cut.
const size_t kMaxRunPath = 259;

TIconList* SharedIconList() {
    TDocument* doc = DocumentOrNull();
    return doc ? doc->IconList.get() : nullptr;
}

TIconFetcher* SharedIconFetcher() {
    TDocument* doc = DocumentOrNull();
    return doc ? doc->IconFetcher.get() : nullptr;
}

platform::TWindowHandle Owner() {
    IMainHost* host = MainHost();
    return host ? host->WindowHandle() : 0;
}

bool IsCopyListSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool EndsWith(const std::string& text, const char* ending) {
    std::string e(ending);
    return text.size() >= e.size() && text.compare(text.size() - e.size(), e.size(), e) == 0;
}

} // namespace

TItem::TItem(bool hasImage) : HasImage(hasImage) {
    RefreshIcon(false);
    ImageIndex = -2;
}

TItem::~TItem() {
    if (IconTicket || Large.Ticket)
        if (TIconFetcher* fetcher = SharedIconFetcher()) fetcher->Forget(*this);
    if (ImageIndex >= 0)
        if (TIconList* icons = SharedIconList()) icons->ReleaseSlot(ImageIndex);
}

// ---- Fields -----------------------------------------------------------------

void TItem::ClearItem() {
    Path.clear();
    Name.clear();
    IFol.clear();
    Arg.clear();
    LFol.clear();
    LHelp.clear();
    Icon.clear();
    Comment.clear();
    IconN = 0;
    ExeAnd = eaDefault;
    RefreshIcon(false);
}

void TItem::Assign(const TItem& source) {
    if (this == &source) return;
    // A copy is a whole copy: the window state the user chose goes with it.
    WindowState = source.WindowState;
    Name = source.Name;
    Path = source.Path;
    IFol = source.IFol;
    Arg = source.Arg;
    LFol = source.LFol;
    LHelp = source.LHelp;
    Icon = source.Icon;
    IconN = source.IconN;
    ExeAnd = source.ExeAnd;
    Comment = source.Comment;
}

TLaunchKind TItem::GetKind(const std::string& path) {
    if (path.empty()) return TLaunchKind::Document;
    if (path.size() <= 3) return TLaunchKind::Folder; // a drive root, without touching the disk
    if (platform::System().GetPathKind(path) == platform::TPathKind::Folder) return TLaunchKind::Folder;
    std::string ext = GetUpperExt(path);
    if (ext == ".EXE" || ext == ".LNK") return TLaunchKind::Program;
    return TLaunchKind::Document;
}

int TItem::GetShowCmd() const {
    switch (WindowState) {
    case wsNormal:
        return kSwShowDefault;
    case wsMinimized:
        return kSwShowMinimized;
    case wsMaximized:
        return kSwShowMaximized;
    default:
        return kSwHide;
    }
}

int TItem::GetExeAnd() const {
    if (ExeAnd != eaDefault) return ExeAnd;
    TDocument* doc = DocumentOrNull();
    return doc ? doc->ExeAnd : eaMinimize;
}

// ---- Filling from a path --------------------------------------------------------

std::string TItem::MapOfficeTarget(const std::string& path) {
    static const struct {
        const char* Ending;
        const char* Program;
    } kOffice[] = {{"}\\wordicon.exe", "winword.exe"},
                   {"}\\xlicons.exe", "excel.exe"},
                   {"}\\pptico.exe", "powerpnt.exe"},
                   {"}\\outicon.exe", "outlook.exe"}};
    for (const auto& o : kOffice)
        if (EndsWith(path, o.Ending)) return o.Program;
    return path;
}

void TItem::SetFromFile(const std::string& file) {
    platform::TLinkInfo link;
    if (GetUpperExt(file) == ".LNK" && platform::System().AnalyseShortcut(file, link) == 0) {
        Path = MapOfficeTarget(link.LinkPath);
        if (Path.empty()) Path = file;
        Arg = link.Argument;
        IFol = link.WorkDir;
        Icon = link.IconPath;
        IconN = link.IconNo;
        switch (WndStateFromShowCmd(link.ShowCmd)) {
        case WNDSTATE::Maximize:
            WindowState = wsMaximized;
            break;
        case WNDSTATE::Minimize:
            WindowState = wsMinimized;
            break;
        default:
            WindowState = wsNormal;
            break;
        }
    } else {
        Path = file;
    }

    Name = RemoveExt(FileNamePart(file));
    if (Name.empty()) Name = Path;

    if (platform::System().GetPathKind(Path) == platform::TPathKind::Folder) {
        if (IFol.empty()) IFol = Path;
        LFol.clear();
        LHelp.clear();
    } else {
        std::string dir = DirectoryPart(Path);
        if (IFol.empty()) IFol = dir;
        LFol = dir;
        std::string help = RemoveFileExt(Path) + ".hlp";
        LHelp = platform::System().GetPathKind(help) != platform::TPathKind::Missing ? help : std::string();
    }
    RefreshIcon(false);
}

// ---- Starting -------------------------------------------------------------------

int TItem::Run(const std::string& params) {
    // A longer file system path would reach the shell cut short and start something
    // else; a URL or a name of the shell's namespace has no such limit.
    if (!IsShellAddress(Path) && platform::Widen(Path).size() > kMaxRunPath) return kFileNotFound;

    TLaunchKind kind = GetKind(Path);
    if (kind == TLaunchKind::Folder && !params.empty()) return CopyIntoFolder(params) ? kCopied : kFileNotFound;

    std::string parameters = Arg;
    if (!params.empty()) parameters += " " + params;
    ReloadIcon(); // the target's icon is evaluated again at every start
    return platform::System().ShellExecute(Owner(), std::string(), Path,
                                           kind == TLaunchKind::Program ? &parameters : nullptr, &IFol, GetShowCmd());
}

std::vector<std::string> TItem::SplitFileList(const std::string& params) {
    std::vector<std::string> names;
    size_t i = 0, n = params.size();
    for (;;) {
        while (i < n && IsCopyListSpace(params[i]))
            ++i;
        if (i >= n) break;
        std::string name;
        if (params[i] == '"') {
            if (i + 1 >= n) break; // a lone quote at the very end
            size_t close = params.find('"', i + 1);
            if (close == std::string::npos) close = n; // never closed: runs to the end
            name = params.substr(i + 1, close - i - 1);
            i = close + 1;
        } else {
            size_t start = i;
            while (i < n && !IsCopyListSpace(params[i]))
                ++i;
            name = params.substr(start, i - start);
        }
        // An empty name ("") would end the shell's NUL-separated list early and
        // silently drop every name after it.
        if (!name.empty()) names.push_back(name);
    }
    return names;
}

bool TItem::CopyIntoFolder(const std::string& params) {
    return platform::System().CopyFilesInto(Owner(), SplitFileList(params), Path) == 0;
}

int TItem::OpenLFol() {
    return platform::System().ShellExecute(Owner(), "open", LFol, nullptr, nullptr, kSwShowNormal);
}

int TItem::OpenLHelp() {
    return platform::System().ShellExecute(Owner(), "open", LHelp, nullptr, &IFol, kSwShowNormal);
}

// ---- Icon and face --------------------------------------------------------------

void TItem::RefreshIcon(bool onlyIfUnassigned) {
    EvaluateIcon(onlyIfUnassigned, false);
}

void TItem::ReloadIcon() {
    EvaluateIcon(false, true);
}

void TItem::EvaluateIcon(bool onlyIfUnassigned, bool keepLastGood) {
    bool facePainted = false;
    if (!(onlyIfUnassigned && ImageIndex != -2)) {
        TIconFetcher* fetcher = SharedIconFetcher();
        if (!fetcher) {
            ImageIndex = -1;
        } else {
            int before = ImageIndex;
            // An answer put in at once has painted the face. One still to come
            // leaves the face as it is while the slot and the look stay the same
            // (F5 over a whole document repaints each face once, when it arrives).
            facePainted = fetcher->Ask(*this, keepLastGood) ||
                          (Prepared && keepLastGood && ImageIndex == before);
        }
    }
    if (!facePainted) UpdateImage();
    Prepared = true;
}

void TItem::PrepareIcon() {
    if (!Prepared) RefreshIcon(true);
}

void TItem::RedrawImage() {
    if (Prepared) UpdateImage();
}

void TItem::UpdateImage() {
    if (!HasImage) return;
    if (Path.empty()) {
        Image.reset();
        return;
    }
    IMainHost* host = MainHost();
    if (!host) return;
    // The face is painted on one buffer kept for all items and stored packed: most of
    // it is the button colour, and a grid of faces kept whole would fill memory.
    static platform::TPixmap canvas;
    host->PaintItemFace(*this, canvas);
    if (!Image) Image = std::make_unique<platform::TPackedPixmap>();
    Image->Pack(canvas);
}

// ---- Storage ----------------------------------------------------------------------

namespace {
// The text fields, in the order they are written.
const YBFS::TId kTextIds[8] = {0, 1, 2, 3, 12, 4, 5, 6};
} // namespace

void TItem::ReadMembers() {
    if (IconTicket || Large.Ticket)
        if (TIconFetcher* fetcher = SharedIconFetcher()) fetcher->Forget(*this);
    IconAwaited = false;
    Read(0, Name);
    Read(1, Path);
    Read(2, IFol);
    Read(3, Arg);
    Read(12, Comment);
    Read(4, LFol);
    Read(5, LHelp);
    Read(6, Icon);
    Read(7, IconN);
    short value;
    if (Read(8, value)) {
        // A choice the edit dialog cannot show is the document's default, and is
        // written back as such.
        ExeAnd = (int8_t)(value & 0xFF);
        if (ExeAnd < eaDefault || ExeAnd > eaExit) ExeAnd = eaDefault;
    }
    if (Read(10, value)) ImageIndex = value;
    int state;
    // Any other number would start the program hidden.
    if (Read(11, state)) WindowState = state >= wsNormal && state <= wsMaximized ? (uint8_t)state : wsNormal;
    TExactTexts exact(kTextIds, 8);
    exact.ReadField(*this);
    std::string* texts[8] = {&Name, &Path, &IFol, &Arg, &Comment, &LFol, &LHelp, &Icon};
    for (int i = 0; i < 8; ++i)
        exact.Apply(kTextIds[i], *texts[i]);
    exact_.reset(exact.Empty() ? nullptr : new TExactTexts(std::move(exact)));
    Prepared = false;
    IconDimmed = false;
}

namespace {

// Checks an item body laid out exactly as WriteMembers writes it: the texts 0, 1,
// 2, 3, 12, 4, 5, 6, then 7 (4 bytes), 8 (2), 10 (2), 11 (4) and the end marker.
// Such a body reads; gives its icon slot and returns the byte after it, or null
// for any other layout (which the general check then walks).
const uint8_t* CheckWrittenLayout(const uint8_t* p, const uint8_t* end, int& imageIndex) {
    using YBFS::StoredWord;
    static const YBFS::TId kTexts[8] = {0, 1, 2, 3, 12, 4, 5, 6};
    for (YBFS::TId id : kTexts) {
        if (end - p < 4 || StoredWord(p) != id) return nullptr;
        uint16_t size = StoredWord(p + 2);
        if (size == YBFS::kObjectSize || (size_t)(end - p - 4) < size) return nullptr;
        p += 4 + size;
    }
    // 7: 4 bytes, 8: 2, 10: 2, 11: 4, end marker: 30 bytes with fixed headers.
    static const uint8_t kTail[30] = {7, 0, 4, 0, 0, 0,  0, 0, 8, 0, 2, 0, 0, 0,    10,
                                      0, 2, 0, 0, 0, 11, 0, 4, 0, 0, 0, 0, 0, 0xFF, 0xFF};
    static const int kHeaders[5] = {0, 8, 14, 20, 28}; // where the fixed words start
    if (end - p < 30) return nullptr;
    for (int at : kHeaders)
        if (std::memcmp(p + at, kTail + at, at == 28 ? 2 : 4) != 0) return nullptr;
    imageIndex = (int16_t)StoredWord(p + 18);
    return p + 30;
}

} // namespace

const uint8_t* TItem::CheckStored(const uint8_t* p, const uint8_t* end, int depth, int& imageIndex,
                                  bool& readable) {
    using namespace YBFS;
    if (depth <= kMaxNesting)
        if (const uint8_t* next = CheckWrittenLayout(p, end, imageIndex)) {
            readable = true;
            return next;
        }
    // The byte count each field that ReadMembers reads must have, by id (0: any).
    static const uint16_t kSizes[13] = {0, 0, 0, 0, 0, 0, 0, 4, 2, 0, 2, 4, 0};
    const unsigned kRead = 0x1DFF; // ids 0-8 and 10-12
    const TId kImageId = 10;
    if (depth > kMaxNesting) throw EReadError(kNestingError);
    unsigned seen = 0; // ReadMembers reads the first field of each id
    imageIndex = -2;
    readable = true;
    for (;;) {
        if (end - p < 4) { // the id, or the id and its size, run past the end
            if (end - p < 2) throw EReadError(kIdReadError);
            if (StoredWord(p) == kEndMarker) return p + 2;
            throw EReadError(kSizeReadError);
        }
        TId id = StoredWord(p);
        if (id == kEndMarker) return p + 2;
        uint16_t size = StoredWord(p + 2);
        p += 4;
        unsigned first = id < 13 ? (1u << id) & kRead & ~seen : 0;
        seen |= first;
        if (size == kObjectSize) {
            if (first) readable = false;
            p = SkipBody(p, end, depth + 1);
            continue;
        }
        if ((size_t)(end - p) < size) throw EReadError(kDataReadError);
        if (first) {
            if (kSizes[id] && size != kSizes[id])
                readable = false;
            else if (id == kImageId)
                imageIndex = (int16_t)StoredWord(p);
        }
        p += size;
    }
}

void TItem::WriteMembers() {
    TExactTexts fresh(kTextIds, 8);
    TExactTexts& exact = exact_ ? *exact_ : fresh;
    exact.BeginWrite();
    const std::string* texts[8] = {&Name, &Path, &IFol, &Arg, &Comment, &LFol, &LHelp, &Icon};
    for (int i = 0; i < 8; ++i)
        Write(kTextIds[i], exact.Note(kTextIds[i], *texts[i]));
    Write(7, IconN);
    short exeAnd = ExeAnd; // sign-extended: -1 is stored as FFFF
    Write(8, exeAnd);
    short imageIndex = IconAwaited ? (short)-2 : (short)(uint16_t)(ImageIndex & 0xFFFF);
    Write(10, imageIndex);
    int state = WindowState;
    Write(11, state);
    exact.WriteField(*this);
}
