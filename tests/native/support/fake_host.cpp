#include "support/fake_host.h"

#include "model/document.h"
#include "support/fake_canvas.h"

TFakeHost::TFakeHost() {
    SetMainHost(this);
}

TFakeHost::~TFakeHost() {
    SetMainHost(nullptr);
}

void TFakeHost::PaintItemFace(const TItem& item, platform::TPixmap& image) {
    ++FacesPainted;
    image.Resize(View.ItemWidth - 4, View.ItemHeight - 4);
    TDocument* doc = DocumentOrNull();
    TFakeCanvas canvas(image);
    DrawItemFace(FaceStyleOf(View, doc ? doc->IconList.get() : nullptr), item, canvas, false);
}
