#include "model/document.h"

#include <algorithm>

#include "model/host.h"
#include "model/viewdata.h"
#include "platform/system.h"
#include "platform/filestream.h"

const char* const TDocument::kFileName = "Kiropad.gbi";
const char* const TDocument::kReadErrorText =
    "以下のデータファイルのロード中にエラーが発生しました。\n再試行しますか？\n\n%f\n%m\n\n"
    "[キャンセル]：空のデータで始めます。読めなかったファイルはプログラムの横に日時を付けた名前で残します。";
const char* const TDocument::kNotKeptText =
    "読めなかったデータファイルを別の名前で残せませんでした。\n\n%f\n\n"
    "このファイルを守るため、今回の変更は保存されません。";
const char* const TDocument::kWriteErrorText =
    "以下のデータファイルのセーブ中にエラーが発生しました。\n再試行しますか？\n\n%f\n\n"
    "[キャンセル]：データは保存されません。";
const char* const TDocument::kErrorCaption = "Kiropad";

namespace {

const int kDefaultPageCount = 10;
const int kDefaultSlotCount = 10;

// The fewest bytes the program writes for one slot: an empty item is a field
// header and a body of eight empty texts, four numbers and the end marker.
const long long kWrittenSlotBytes = 4 + 8 * 5 + (8 + 6 + 6 + 8) + 2;

// The most slots a document may have: one with more would save a file larger than
// Load reads back, so no file the program wrote has more. Pages the file leaves out
// still become pages of empty items, so without this bound a few bytes naming
// 32767 pages of 100 x 100 would ask for 327 million items. This many (about 3.6
// million) take about 0.9 GB once built in a 32-bit process (some 244 bytes each).
const long long kMaxSlots = (long long)platform::kMaxFileBytes / kWrittenSlotBytes;

// The grid the window can show: a size outside 1..100 (which the options never
// allow) is brought into that range, so that a damaged size cannot make an empty
// grid or billions of slots.
int ClampSide(int side) {
    return std::min(std::max(side, 1), TDocument::kMaxPageSide);
}

} // namespace

TDocument::TDocument() = default;

TDocument::~TDocument() {
    // A document that never loaded must not replace the user's file with defaults.
    if (loaded_) {
        try {
            IconList->Shrink();
            SaveIfNeeded(TSaveReason::Exit);
        } catch (...) {
            // Nothing may leave a destructor; a failed save has shown its box already.
        }
    }
    // Items give their icon slots back to the list, so the list goes last.
    Pages.clear();
    IndItems.clear();
    ClipItem.reset();
    IconFetcher.reset();
    IconList.reset();
}

template <class F> void TDocument::ForEachItem(F f) {
    for (auto& page : Pages)
        for (auto& item : page->Items())
            f(*item);
    for (auto& item : IndItems)
        f(*item);
}

std::unique_ptr<TLPage> TDocument::NewPage() const {
    return std::make_unique<TLPage>(PageWidth, PageHeight);
}

void TDocument::Init() {
    // The icon list first: constructing any item already asks it for the item's icon.
    IconList = std::make_unique<TIconList>();
    IconFetcher = std::make_unique<TIconFetcher>(*IconList);
    ClipItem = std::make_unique<TItem>(false);

    FileName = platform::System().ProgramFolder() + kFileName;
    ClearOnError = true;
    MustExist = false;
    RaiseOnError = false;
    ErrorMode = 2;
    ReadErrorMessage = kReadErrorText;
    WriteErrorMessage = kWriteErrorText;
    ErrorCaption = kErrorCaption;

    loaded_ = false;
    keepFile_ = false;
    loadGivenUp_ = false;
    bool existed = platform::FileExists(FileName);
    Load();
    // Only a file that loaded cleanly is worth a backup; a damaged one has its copy.
    backupDue_ = existed && !loadGivenUp_;
    // Pages not looked at yet stay unbuilt: they mark their slots from the file.
    for (auto& page : Pages)
        page->MarkIconsUsed(*IconList);
    for (auto& item : IndItems)
        IconList->MarkUsed(item->ImageIndex);
    if (!IconList->LoadCache()) ForgetIcons();
    // Only now may anything be saved: whatever failed before this left a document
    // that is not what the file holds, and saving it would replace the file.
    loaded_ = !keepFile_;
}

void TDocument::LoadGivenUp() {
    // Cancel starts with an empty document that the next save writes over the file
    // that could not be read: that file is copied aside first. When no copy can be
    // made, nothing is saved over it in this run.
    if (!platform::FileExists(FileName)) return;
    loadGivenUp_ = true;
    if (!platform::KeepUnreadableCopy(FileName).empty()) return;
    keepFile_ = true;
    YBFS::TFmAssociation table[1] = {{'f', FileName}};
    platform::System().MessageBox(YBFS::FormatAssoc(kNotKeptText, table, 1), ErrorCaption,
                                  platform::mbIconError);
}

void TDocument::Save() {
    if (!loaded_) return; // see Init
    if (backupDue_) {
        // Once a run: the file as it was before this run changed it. A backup that
        // cannot be made does not stop the save, which replaces the file in one step.
        backupDue_ = false;
        platform::KeepBackup(FileName);
    }
    YBFS::TYBFileObject::Save();
}

void TDocument::Reset(bool forRead) {
    Pages.clear();
    IndItems.clear();
    ExeAnd = 1;
    AutoSave = true;
    NoSave = false;
    ShowInd = true;
    NoEdit = false;
    PreventDblExe = false;
    NotClose = false;
    PageWidth = 5;
    PageHeight = 3;
    if (!forRead)
        for (int i = 0; i < kDefaultPageCount; ++i)
            Pages.push_back(NewPage());
    if (IconList) IconList->SetSlotCount(kDefaultSlotCount);
}

void TDocument::ReadMembers() {
    short value;
    if (Read(0, value)) PageWidth = ClampSide(value);
    if (Read(1, value)) PageHeight = ClampSide(value);

    short count = kDefaultPageCount;
    Read(2, count);
    // The window needs a page: a count of 0 or less still gives one.
    int pages = std::max<int>(count, 1);
    if ((long long)pages * PageWidth * PageHeight > kMaxSlots)
        throw YBFS::EReadError("ページのアイテムが多すぎます（全ページで " + std::to_string(kMaxSlots) +
                               " 個まで）");
    for (int i = 0; i < pages; ++i)
        Pages.push_back(NewPage());
    // A page's items are read when they are first needed; its body was checked
    // while the file was parsed.
    for (auto& page : Pages)
        if (auto body = TakeObject(kPageId)) {
            const TStoredPageCheck* check =
                body->IsStored() ? pageChecks_.Find(body->StoredBegin()) : nullptr;
            page->AdoptStored(std::move(body), check);
        }
    pageChecks_.Clear();

    for (;;) {
        auto item = std::make_unique<TItem>(false);
        if (!ReadObject(13, *item)) break;
        IndItems.push_back(std::move(item));
    }

    Read(5, AutoSave);
    Read(10, NoSave);
    bool oldExeAnd;
    if (Read(4, oldExeAnd)) ExeAnd = oldExeAnd ? 1 : 0;
    if (Read(6, value)) ExeAnd = (uint8_t)(value & 0xFF);
    // An action the options cannot show is the default one, and is written back so.
    if (ExeAnd > eaExit) ExeAnd = eaMinimize;
    Read(7, NoEdit);
    Read(8, EditPassword);
    Read(14, ShowInd);
    Read(15, PreventDblExe);
    Read(16, NotClose);
    if (IMainHost* host = MainHost()) ReadObject(12, host->ViewData());
    if (Read(9, value) && IconList) IconList->SetSlotCount(value);
}

void TDocument::WriteMembers() {
    short width = (short)PageWidth, height = (short)PageHeight, count = (short)Pages.size();
    Write(0, width);
    Write(1, height);
    Write(2, count);
    for (auto& page : Pages)
        WriteObject(kPageId, *page);
    for (auto& item : IndItems)
        WriteObject(13, *item);
    Write(5, AutoSave);
    Write(10, NoSave);
    short exeAnd = ExeAnd;
    Write(6, exeAnd);
    Write(7, NoEdit);
    Write(8, EditPassword);
    Write(14, ShowInd);
    Write(15, PreventDblExe);
    Write(16, NotClose);
    if (IMainHost* host = MainHost()) WriteObject(12, host->ViewData());
    short slots = (short)(IconList ? IconList->SlotCount() : kDefaultSlotCount);
    Write(9, slots);
}

YBFS::TNestedBodyCheck* TDocument::NestedBodyCheck() {
    pageChecks_.Clear();
    return &pageChecks_;
}

void TDocument::SaveIfNeeded(TSaveReason reason) {
    bool save;
    switch (reason) {
    case TSaveReason::Command:
        save = true;
        break;
    case TSaveReason::Exit:
        save = !NoSave;
        break;
    default:
        save = !NoSave && AutoSave;
        break;
    }
    if (!save || !loaded_) return;
    platform::TWaitCursor wait;
    Save();
    // Written even when the data file failed: the caches must match the slots in memory.
    if (IconList) IconList->SaveCache();
}

void TDocument::SetIndItemCount(int count) {
    while ((int)IndItems.size() < count)
        IndItems.push_back(std::make_unique<TItem>(false));
    int i = (int)IndItems.size() - 1;
    while ((int)IndItems.size() > count) {
        while (i >= 0 && !IndItems[(size_t)i]->Path.empty())
            --i;
        if (i < 0) break; // only items that hold something are left
        IndItems.erase(IndItems.begin() + i);
        --i;
    }
}

bool TDocument::CanResizePages(int width, int height, std::vector<std::string>& tooSmall) const {
    tooSmall.clear();
    bool fits = true;
    for (const auto& page : Pages)
        if ((long long)width * height < page->CountUsed()) {
            tooSmall.push_back(page->Name);
            fits = false;
        }
    return fits;
}

void TDocument::SetPageSize(int width, int height) {
    for (auto& page : Pages)
        page->Resize(width, height);
    PageWidth = width;
    PageHeight = height;
    ResetClipPos();
}

void TDocument::InsertPage(int index) {
    if (index < 0 || index > (int)Pages.size()) index = (int)Pages.size();
    Pages.insert(Pages.begin() + index, NewPage());
    ResetClipPos();
}

void TDocument::DeletePage(int index) {
    if (index >= 0 && index < (int)Pages.size()) Pages.erase(Pages.begin() + index);
    ResetClipPos();
}

void TDocument::MovePageUp(int index) {
    if (index >= 1 && index < (int)Pages.size()) std::swap(Pages[(size_t)index - 1], Pages[(size_t)index]);
    ResetClipPos();
}

void TDocument::MovePageDown(int index) {
    if (index >= 0 && index + 1 < (int)Pages.size())
        std::swap(Pages[(size_t)index], Pages[(size_t)index + 1]);
    ResetClipPos();
}

TItem* TDocument::GetItem(const TItemPos& pos) {
    if (pos.Page == kIndPage)
        return pos.Index >= 0 && pos.Index < (int)IndItems.size() ? IndItems[(size_t)pos.Index].get()
                                                                  : nullptr;
    if (pos.Page < 0 || pos.Page >= (int)Pages.size()) return nullptr;
    TLPage& page = *Pages[(size_t)pos.Page];
    return pos.Index >= 0 && pos.Index < page.SlotCount() ? &page.Item(pos.Index) : nullptr;
}

void TDocument::RefreshIcons() {
    ForEachItem([](TItem& item) { item.ReloadIcon(); });
}

void TDocument::PrepareIndIcons() {
    for (auto& item : IndItems)
        item->PrepareIcon();
}

void TDocument::ForgetIcons() {
    for (auto& page : Pages)
        page->ForgetIcons();
    for (auto& item : IndItems)
        item->ImageIndex = -2;
}
