#include "support/model_env.h"

#include "platform/filestream.h"

void TModelEnv::WriteDataFile(const std::vector<uint8_t>& bytes) const {
    platform::ReplaceFileContents(DataFile(), bytes);
}

bool TModelEnv::DataFileExists() const {
    return platform::FileExists(DataFile());
}

std::vector<uint8_t> TModelEnv::ReadDataFile() const {
    return platform::ReadWholeFile(DataFile());
}

TBody ItemBody(const std::string& name, const std::string& path, int imageIndex) {
    TBody b;
    b.Str(0, name).Str(1, path).Str(2, "").Str(3, "").Str(12, "").Str(4, "").Str(5, "").Str(6, "");
    b.I32(7, 0).I16(8, -1).I16(10, imageIndex).I32(11, 0);
    return b;
}

TBody NewPageBody(int width, int height, const std::string& name) {
    TBody page;
    page.Str(0, name);
    for (int i = 0; i < width * height; ++i)
        page.Obj(1, ItemBody());
    return page;
}

TBody DefaultViewBody() {
    TBody font;
    font.I32(0, 0x80000008).Str(1, "ＭＳ Ｐゴシック").I32(2, 9).U8(3, 0);
    TBody view;
    view.Str(0, "Kiropad").I32(1, 171).I32(2, 84).I32(3, 76).I32(4, 0x8000000F).I32(5, 0x00E0E0E0).I32(7, 0);
    view.Obj(6, font).Bool(8, true).I32(9, 0).I32(10, 0).I32(11, 0).Bool(12, false);
    return view;
}

TBody DefaultTailBody(int slotCount, int exeAnd) {
    TBody tail;
    tail.Bool(5, true).Bool(10, false).I16(6, exeAnd).Bool(7, false).Str(8, "").Bool(14, true).Bool(15,
                                                                                                    false);
    tail.Bool(16, false).Obj(12, DefaultViewBody()).I16(9, slotCount);
    return tail;
}

std::vector<uint8_t> FirstStartFile(int exeAnd) {
    TBody doc;
    doc.I16(0, 5).I16(1, 3).I16(2, 10);
    for (int p = 0; p < 10; ++p)
        doc.Obj(3, NewPageBody(5, 3));
    doc.Append(DefaultTailBody(10, exeAnd));
    return doc.Bytes();
}
