#pragma once
// What the data model needs from the main window, and the program-wide single
// instances. The main window implements IMainHost and installs itself; tests
// install a fake. Nothing here includes anything above the model.
#include "platform/pixmap.h"
#include "platform/types.h"

class TDocument;
class TItem;
class TViewData;

class IMainHost {
public:
    virtual ~IMainHost() = default;
    // The owner of everything the items start, copy and open.
    virtual platform::TWindowHandle WindowHandle() = 0;
    // The one set of view settings (owned by the main window).
    virtual TViewData& ViewData() = 0;
    // Sizes image to the face of a page item button, (item width - 4) x (item
    // height - 4) as the window lays its buttons out, and paints the item's
    // unpressed face on it. The window owns the sizes so that a face never
    // differs from (or outgrows) the button that shows it.
    virtual void PaintItemFace(const TItem& item, platform::TPixmap& image) = 0;
    // The window's present left and top (the start-position capture).
    virtual platform::TPoint PresentPosition() = 0;
};

// The main window as the model sees it; null until one is installed.
IMainHost* MainHost();
void SetMainHost(IMainHost* host);

// The one document; null until the main window has made one the program-wide document.
TDocument* DocumentOrNull();
// The document; the program ends at once if there is none (a programming error).
TDocument& Document();
void SetDocument(TDocument* document);

// The main window's view settings; the program ends at once if no host is installed.
TViewData& ViewData();
