// libFuzzer target: a copybook from a stranger. Byte 0 chooses the
// mainframe's conventions (bit 0); the rest is the copybook's text. The
// reader must end with a record or a message, never with a crash, and a
// record it gives must be one the converter can take: fields inside the
// record, in order, not overlapping, of widths their types hold, with names
// a layout holds once, and marks that read back from the layout file
// --emit-layout prints.
#include <cstdio>
#include <cstdlib>
#include <set>

#include "copybook/Copybook.h"
#include "layout/LayoutFile.h"

namespace {

using namespace zorbik;

void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const Copybook copybook = ReadCopybook(text, {(data[0] & 1) != 0, 0}, UiLanguage::English);
    const RecordDescription& record = copybook.description;
    if (copybook.error.Failed()) {
        Require(record.fields.empty() && copybook.error.line >= 0 && copybook.error.column >= 0, "a refused copybook");
        return 0;
    }
    Require(!record.fields.empty() && record.length <= kMaxCopybookRecord, "a record of fields");
    Require(record.fields.size() <= kMaxCopybookFields, "at most the columns a layout holds");
    std::set<std::string> names;
    std::uint64_t end = 0;
    for (const DescribedField& field : record.fields) {
        Require(field.offset >= end && field.width > 0 && field.offset + field.width <= record.length,
                "fields in order inside the record");
        Require(FieldWidthFits(field.type, field.options, field.width), "a width the type holds");
        Require(!field.name.empty() && names.insert(field.name).second, "a name each, once");
        end = field.offset + field.width;
    }
    // Tens of thousands of columns through the layout file take seconds under
    // the sanitizers; the reader's own checks above hold for those too.
    if (record.fields.size() > 2048)
        return 0;
    const Layout layout = LayoutFromDescription(0, record);
    Require(record.length < 2 || !layout.marks.Empty(), "marks for a record of two bytes or more");
    const LoadedLayout again = LoadLayout(FormatLayout(layout), record.length, UiLanguage::English);
    Require(layout.marks.Empty() || (!again.error.Failed() && again.layout == layout), "a layout that reads back");
    return 0;
}
