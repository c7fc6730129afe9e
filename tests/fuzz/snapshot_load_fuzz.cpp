// libFuzzer target: any bytes are a report or one line saying why not; a report read back writes
// a document that is a report again, and compares with itself as no change. (Not the same
// document byte for byte: names are cleaned of trademark marks once per write, one pass per
// mark, so "(T(TM)M)" loses another mark each time.)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/compare.h"
#include "core/snapshot_json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const nadrel::LoadResult loaded = nadrel::load_snapshot_json(text);
    if (!loaded.report) {
        if (loaded.failure.empty() || loaded.failure.find('\n') != std::string::npos)
            std::abort();
        return 0;
    }
    const nadrel::JsonOptions options{loaded.report->generated, loaded.report->sanitized};
    const std::string again = nadrel::snapshot_json(loaded.report->snapshot, options);
    const nadrel::LoadResult reread = nadrel::load_snapshot_json(again);
    if (!reread.report)
        std::abort();
    if (nadrel::compare_reports(text, text, {}).changes != 0)
        std::abort();
    return 0;
}
