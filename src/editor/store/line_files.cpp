// The line store's files: loading, appending and saving memo files.
#include "platform/file_io.h"

#include "editor/commands/past_string_list.h"
#include "editor/store/umemo_strings.h"

#include <cerrno>
#include <new>

namespace rekna {

bool TUMemoStrings::BuildRows(std::string_view bytes, TRowStore& rows) const {
    try {
        std::size_t pos = 0;
        std::string_view line;
        while (NextTextLine(bytes, pos, line))
            AppendWrapped(rows, line);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool TUMemoStrings::LoadBytes(std::string_view bytes, bool toEnd) {
    TRowStore rows;
    if (!BuildRows(bytes, rows)) return false;
    if (FRecorder) FRecorder->SetUndoEnabled(false);
    FRows = std::move(rows);
    FSelection.Reset();
    FLeftCol = 1;
    if (toEnd) {
        const std::int32_t lastRow = std::max(0, GetCount() - 1);
        FSelection.Caret = {1, lastRow};
        FTopRow = std::max(0, GetCount() - FVisibleRows);
    } else {
        FTopRow = 0;
    }
    FSelection.Normalize(*this);
    if (FRecorder) {
        FRecorder->ClearUndo();
        FRecorder->SetUndoEnabled(true);
    }
    FChanged = false;
    return true;
}

TFileResult TUMemoStrings::LoadFile(const std::string& name, bool toEnd) {
    std::string bytes;
    const TFileResult read = ReadWholeFile(name, bytes);
    if (!read.Ok()) return read;
    if (!LoadBytes(bytes, toEnd)) return {TFileStatus::fsNoMemory, ENOMEM};
    return {};
}

bool TUMemoStrings::AppendBytes(std::string_view bytes) {
    BeginEdit(false);
    if (FRecorder) FRecorder->ClearUndo();
    const std::int32_t oldCount = GetCount();
    bool ok = true;
    try {
        std::size_t pos = 0;
        std::string_view line;
        while (NextTextLine(bytes, pos, line)) {
            const std::int32_t row = GetCount();
            RawInsert(row, line, false, 0);
            ReflowFrom(row);
        }
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    FSelection.Mode = TSelMode::smNone;
    FSelection.Caret = {1, oldCount};
    FSelection.Normalize(*this);
    FTopRow = std::max(0, oldCount - 1);
    EndEdit(false);
    return ok;
}

TFileResult TUMemoStrings::AppendFile(const std::string& name) {
    std::string bytes;
    const TFileResult read = ReadWholeFile(name, bytes);
    if (!read.Ok()) return read;
    if (!AppendBytes(bytes)) return {TFileStatus::fsNoMemory, ENOMEM};
    return {};
}

TFileResult TUMemoStrings::SaveToFile(const std::string& name) {
    const TFileResult result = WriteFileReplacing(name, [this](const auto& sink) {
        VisitLines([&](std::string_view piece) { sink(piece); }, [&](bool) { sink("\r\n"); });
    });
    if (result.Ok() && FRecorder) FRecorder->ClearUndo();
    return result;
}

}  // namespace rekna
