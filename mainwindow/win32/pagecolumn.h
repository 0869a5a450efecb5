#pragma once
// The page buttons and the column that holds them. A document may hold thousands
// of pages, so a page button is a windowless control with a caption; the column is
// the one window, painting every caption of a strip with one font.
#include <functional>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "ui/lighthost.h"

class TPageButton : public ui::TLightControl {
public:
    TPageButton();

    // The caption as a panel shows it: "&&" shows one "&", a single "&" underlines
    // the character after it.
    void SetCaption(const std::string& caption);
    const std::string& Caption() const { return caption_; }
    void SetFont(const platform::TFontSpec& font);
    const platform::TFontSpec& Font() const { return font_; }

    // The position of the button in the page buttons list (the page it stands for).
    int Index = -1;
    // Mouse events with the button that got them.
    std::function<void(TPageButton& sender, ui::TMouseButton button, int x, int y)> OnPageMouseDown;
    std::function<void(TPageButton& sender, ui::TMouseButton button, int x, int y)> OnPageMouseUp;

private:
    std::string caption_;
    platform::TFontSpec font_;
};

class TPageColumn : public ui::TLightHost {
public:
    // buttons: the page buttons list, in page order, whose captions the column paints.
    TPageColumn(ui::TWindow* parent, const std::vector<TPageButton*>& buttons);

protected:
    void PaintBand(ui::TPaintBand& band) override;

private:
    const std::vector<TPageButton*>& buttons_;
};
