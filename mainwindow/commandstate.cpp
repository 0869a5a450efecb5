#include "mainwindow/commandstate.h"

#include "model/item.h"
#include "platform/text.h"

const char* const kDeletePageQuestion =
    "このページを削除します。\nこのページに含まれるアイテムは全て削除されます。\n宜しいですか？";
const char* const kDeleteItemQuestion = "このアイテムを削除します。宜しいですか？";
const char* const kBoxCaption = "Kiropad";

TItemMenuState ItemMenuState(const TItem& item, bool independent, bool locked, bool clipEmpty,
                             bool hasCopySource) {
    bool used = !item.Path.empty();
    TItemMenuState s;
    s.Copy = used;
    s.Edit = !locked;
    s.Delete = !locked && used;
    s.Cut = !locked && used;
    s.Paste = !locked && !used && !clipEmpty;
    s.Exchange = !locked && used && hasCopySource;
    s.LFol = !item.LFol.empty();
    s.LHelp = !item.LHelp.empty();
    // The independent row inserts empty slots and removes them at any time; what the
    // user stored there is deleted only while the edit lock is off, as on a page.
    s.Insert = independent;
    if (independent) s.Delete = !locked || !used;
    return s;
}

TPageMenuState PageMenuState(bool locked, int currentPage, int pageCount) {
    TPageMenuState s;
    if (locked) return s;
    s.Rename = true;
    s.NewPage = true;
    s.Delete = pageCount >= 2;
    s.Up = currentPage > 0;
    s.Down = currentPage < pageCount - 1;
    return s;
}

std::string DoubleAmpersands(const std::string& name) {
    std::string out;
    out.reserve(name.size());
    // '&' (0x26) is never the second byte of a double-byte character, so a plain
    // scan cannot split one.
    for (char c : name) {
        out += c;
        if (c == '&') out += '&';
    }
    return out;
}

std::string JoinDropParameters(const std::vector<std::string>& paths) {
    std::string out;
    for (const std::string& p : paths) {
        if (!out.empty()) out += ' ';
        out += '"' + p + '"';
    }
    return out;
}

std::string DropRefusal(const std::vector<TDroppedName>& names) {
    for (const TDroppedName& n : names) {
        if (platform::Widen(n.Path).size() > kMaxDroppedPath)
            return "ドロップされたファイルのパスが長すぎます（259文字まで）。\n"
                   "短いパスの場所に移してからドロップしてください。\n\n" +
                   n.DisplayName;
    }
    return std::string();
}

std::string LaunchErrorText(int result) {
    const int kFileNotFound = 2, kPathNotFound = 3;
    if (result == kFileNotFound || result == kPathNotFound) return "ファイルまたはパスが見つかりません。";
    return "ファイルオープン時にエラーが発生しました。";
}
