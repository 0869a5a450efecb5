#include "mainwindow/itemface.h"

#include <algorithm>

#include "model/iconlist.h"
#include "model/item.h"
#include "model/viewdata.h"
#include "shell/common.h"

using platform::ICanvas;
using platform::TRect;

namespace {

const int kIconSize = 32;
const char* const kEllipsis = "...";

// Copy(text, p, n) with p counted from 1: n bytes from p, fewer at the end,
// none when n <= 0.
std::string Copy(const std::string& text, int p, int n) {
    if (n <= 0 || p < 1 || (size_t)p > text.size()) return std::string();
    return text.substr((size_t)p - 1, (size_t)n);
}

bool IsTrail(const std::string& text, int p) {
    return MbcsByteType(text, p) == TByteType::Trail;
}

// Length of the blank that separates two lines at position p: 1 for a space,
// 2 for the full-width space, 0 otherwise.
int SeparatorAt(const std::string& text, int p) {
    unsigned char c = (unsigned char)text[(size_t)p - 1];
    if (c == 0x20) return 1;
    if (c == 0x81 && (size_t)p < text.size() && (unsigned char)text[(size_t)p] == 0x40) return 2;
    return 0;
}

// The icon in its place, at 96 DPI a 32 x 32 square whose top left is (left, top):
// the item's large icon when it has one of the scaled size, filling the place; else
// the icon that has come, the slot's icon, or the last good one dimmed, each at its
// own size in the middle of the place.
void DrawIcon(const TFaceStyle& style, const TItem& item, ICanvas& canvas, int left, int top) {
    int place = style.Scale(kIconSize);
    const platform::TIconImage* large = item.Large.Image.get();
    if (large && large->Color.Width() == place && place > kIconSize && !item.PreviewIcon) {
        TRect where(left, top, left + place, top + place);
        if (item.IconDimmed)
            TIconList::DrawIconDimmed(*large, canvas, where);
        else
            TIconList::DrawIcon(*large, canvas, where);
        return;
    }
    int inset = (place - kIconSize) / 2;
    TRect where(left + inset, top + inset, left + inset + kIconSize, top + inset + kIconSize);
    if (item.PreviewIcon)
        TIconList::DrawIcon(*item.PreviewIcon, canvas, where);
    else if (item.IconDimmed)
        style.Icons->DrawDimmed(item.ImageIndex, canvas, where);
    else
        style.Icons->Draw(item.ImageIndex, canvas, where);
}

} // namespace

TFaceStyle FaceStyleOf(const TViewData& view, const TIconList* icons) {
    TFaceStyle s;
    s.ItemWidth = view.ItemWidth;
    s.ItemHeight = view.ItemHeight;
    s.BtnColor = view.BtnColor;
    s.SelColor = view.SelColor;
    if (view.Font) view.Font->AssignTo(&s.ItemFont);
    s.Icons = icons;
    return s;
}

void DrawItemFace(const TFaceStyle& style, const TItem& item, ICanvas& canvas, bool pressed) {
    const TDpiScale& s = style.Scale;
    int border = s(2);
    int w = style.FaceWidth() - 2 * border, h = style.FaceHeight() - 2 * border;
    int o = pressed ? border + s(2) : border;
    canvas.SetBrushColor(pressed ? style.SelColor : style.BtnColor);
    canvas.FillRect(TRect(0, 0, style.FaceWidth(), style.FaceHeight()));
    if (item.Path.empty()) return;
    if ((item.ImageIndex >= 0 || item.PreviewIcon) && style.Icons)
        DrawIcon(style, item, canvas, o + (w - s(kIconSize)) / 2, o + ((h / 2) - s(kIconSize)) / 2);
    if (pressed && style.OwnSelText) {
        platform::TFontSpec font = style.ItemFont;
        font.Color = style.SelTextColor;
        canvas.SetFont(font);
    } else {
        canvas.SetFont(style.ItemFont);
    }
    DrawTitle(item.Name, canvas, o, o + h / 2, o + w, o + h);
}

void DrawIndFace(const TFaceStyle& style, const TItem& item, ICanvas& canvas, bool pressed) {
    const TDpiScale& s = style.Scale;
    int size = style.IndFaceSize();
    canvas.SetBrushColor(pressed ? style.SelColor : style.BtnColor);
    canvas.FillRect(TRect(0, 0, size, size));
    if (!item.Path.empty() && (item.ImageIndex >= 0 || item.PreviewIcon) && style.Icons) {
        int b = pressed ? s(2) + s(2) : s(2);
        DrawIcon(style, item, canvas, b, b);
    }
}

void DrawTitle(const std::string& text, ICanvas& canvas, int left, int top, int right, int bottom) {
    int width = right - left, height = bottom - top;
    int length = (int)text.size();

    if (canvas.TextWidth(text) <= width) {
        canvas.TextOut(left + (width - canvas.TextWidth(text)) / 2,
                       top + (height - canvas.TextHeight(text)) / 2, text);
        return;
    }

    // The best break: both lines fit; a break at a blank beats any other; among
    // equals the narrower wider half wins, and on a tie the earlier one.
    int best = 0, bestWidth = 0xFFFF;
    bool bestAtSpace = false;
    TMbcsState scan;
    for (int i = 1; i <= length; ++i) {
        if (MbcsByteType(text, i, &scan) == TByteType::Trail) continue;
        int d = SeparatorAt(text, i);
        std::string first = Copy(text, 1, i - 1);
        std::string rest = Copy(text, i + d, length - i - d + 1);
        int m = std::max(canvas.TextWidth(first), canvas.TextWidth(rest));
        bool atSpace = d > 0;
        if (m < width && ((atSpace == bestAtSpace && m < bestWidth) || (!bestAtSpace && atSpace))) {
            best = i;
            bestWidth = m;
            bestAtSpace = atSpace;
        }
    }

    std::string line1, line2;
    if (best > 0) {
        line1 = Copy(text, 1, best - 1);
        line2 = Copy(text, best, length - best + 1);
    } else {
        // No break lets both lines fit: the first line is the longest beginning
        // that fits, the second is shortened with "...".
        int start = length + 1;
        for (int e = 1; e <= length; ++e)
            if (canvas.TextWidth(Copy(text, 1, e)) > width) {
                while (e > 1 && IsTrail(text, e)) --e;
                line1 = Copy(text, 1, e - 1);
                start = e;
                break;
            }
        // When the rest with "..." fits whole, the rest is shown as it is.
        line2 = Copy(text, start, length - start + 1);
        for (int e = start + 1; e <= length; ++e)
            if (canvas.TextWidth(Copy(text, start, e - start + 1) + kEllipsis) > width) {
                while (e > 1 && IsTrail(text, e)) --e;
                line2 = Copy(text, start, e - start) + kEllipsis;
                break;
            }
    }

    int t = canvas.TextHeight(text);
    int g = (height - 2 * t) / 2;
    canvas.TextOut(left, top + g / 2, line1);
    canvas.TextOut(right - canvas.TextWidth(line2), top + canvas.TextHeight(line1) + (3 * g) / 2, line2);
}
