// Edit masks: any mask (the first line) parses, and any text (the rest) converts both ways.
#include "fuzz_support.h"
#include "ui/db/controls/edit_mask.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString input = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype lineEnd = input.indexOf(u'\n');
    const QString mask = lineEnd < 0 ? input : input.left(lineEnd);
    const QString text = lineEnd < 0 ? QString() : input.mid(lineEnd + 1);
    const EditMask parsed = EditMask::parse(mask);
    parsed.qtInputMask();
    const QString shown = parsed.shownText(text);
    if (const auto stored = parsed.storedText(shown)) {
        parsed.shownText(*stored);
    }
    parsed.storedText(text);
    return 0;
}
