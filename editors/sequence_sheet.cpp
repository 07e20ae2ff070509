#include "editors/sequence_sheet.h"

#include <memory>

#include "editors/clipboard_text.h"
#include "engine/conflicts.h"
#include "platform/constants.h"
#include "resources/texts.h"
#include "storage/backup.h"
#include "storage/sequence_file.h"

namespace pavix {
namespace {

constexpr std::uint16_t kVkC = 'C';
// Members stand below their heading, indented by this in the list.
constexpr const char* kMemberIndent = "    ";

// The sheet reports nothing of the file: the engine has reported it when it read it, and the
// editor reports it when it opens.
class QuietReporter final : public FileProblemReporter {
  public:
    void ReportFileProblem(FileProblem) override {}
};

// Whether the file was read to its end, judged as the sequence editor judges it: not when its
// header is unusable, a record is damaged, or the file is there but cannot be opened.
bool ReadWhole(FileApi& files, FileResult opened, bool damaged, const char* path) {
    const bool refused = opened == FileResult::kMissing && FileExists(files, path);
    return opened != FileResult::kUnusable && !damaged && !refused;
}

}  // namespace

void SequenceSheet::Show(WindowHandle owner, std::optional<KeyChord> abortChord) {
    if (open_) {
        platform_.ShowWindow(Window(), kSwRestore);
        platform_.SetForegroundWindow(Window());
        return;
    }
    abortChord_ = abortChord;
    const WindowHandle window = platform_.CreateDialogParamA(platform_.GetModuleHandleA(nullptr),
                                                             kTemplateId, owner, this, 0);
    if (window != 0) {
        platform_.ShowWindow(window, kSwShow);
        platform_.SetForegroundWindow(window);
    }
}

void SequenceSheet::Refresh(std::optional<KeyChord> abortChord) {
    if (!open_) {
        return;
    }
    abortChord_ = abortChord;
    Load();
    ShowRows();
}

void SequenceSheet::Close() {
    if (open_) {
        platform_.DestroyWindow(Window());
    }
}

bool SequenceSheet::OnInitDialog() {
    open_ = true;
    filter_.clear();
    SetUpColumns();
    Load();
    ShowRows();
    return true;
}

void SequenceSheet::SetUpColumns() {
    Rect client;
    platform_.GetClientRect(Item(kSheetList), &client);
    const std::int32_t width =
        client.right - client.left - platform_.GetSystemMetrics(kSmCxVScroll);
    const std::int32_t keys = width * 3 / 10;
    const std::int32_t name = width / 4;
    AddColumn(kSheetList, 0, LoadText(platform_, ids::kTextSheetKeysColumn), keys);
    AddColumn(kSheetList, 1, LoadText(platform_, ids::kTextSheetNameColumn), name);
    AddColumn(kSheetList, 2, LoadText(platform_, ids::kTextSheetRunsColumn), width - keys - name);
    const std::intptr_t style = SendItem(kSheetList, kLvmGetExtendedListViewStyle);
    SendItem(kSheetList, kLvmSetExtendedListViewStyle, 0, style | kLvsExFullRowSelect);
}

// Record after record until one cannot be read, as the sequence editor reads them.
void SequenceSheet::Load() {
    QuietReporter quiet;
    SequenceFile file(platform_, quiet);
    SequenceList list;
    const FileResult opened = file.Open(false);
    if (opened == FileResult::kOk) {
        for (;;) {
            auto sequence = std::make_unique<Sequence>();
            if (!file.Read(*sequence)) {
                break;
            }
            list.Append(std::move(sequence));
        }
    }
    const bool whole = ReadWhole(platform_, opened, file.Damaged(), file.Path());
    file.Close();
    // The line stays empty over a whole file, so that it shows only when it has something to say.
    SetText(kIncompleteNote, whole ? "" : LoadText(platform_, ids::kTextSheetIncomplete));
    std::vector<bool> marked;
    for (const Conflict& conflict : FindConflicts(list, abortChord_)) {
        marked.push_back(conflict.kind != ConflictKind::kNone);
    }
    view_ = SheetView(platform_, SheetEntries(platform_, list, marked));
}

void SequenceSheet::ShowRows() {
    view_.Filter(platform_, filter_);
    SetRowCount(kSheetList, view_.Size());
    Redraw(kSheetList);
}

std::vector<SheetRow> SequenceSheet::Rows() const {
    std::vector<SheetRow> rows;
    rows.reserve(view_.Size());
    for (std::size_t row = 0; row < view_.Size(); ++row) {
        rows.push_back(view_.Row(row));
    }
    return rows;
}

void SequenceSheet::CopyAsText() {
    if (!PutTextOnClipboard(platform_, Window(), SheetText(view_))) {
        platform_.MessageBeep(kSimpleBeep);
    }
}

bool SequenceSheet::OnCommand(std::int32_t id, std::uint16_t code) {
    switch (id) {
        case kIdCancel:
            Close();
            return true;
        case kIdOk:  // Enter, which means nothing here
            return true;
        case kCopyButton:
            CopyAsText();
            return true;
        case kFilterEdit:
            if (code == kEnChange && ReadText(kFilterEdit, &filter_)) {
                ShowRows();
            }
            return true;
        default:
            return false;
    }
}

bool SequenceSheet::OnNotify(const NotifyHeader& header) {
    if (header.idFrom != static_cast<std::uintptr_t>(kSheetList)) {
        return false;
    }
    if (header.code == kLvnGetDispInfoA) {
        OnGetDispInfo(reinterpret_cast<const ListViewDispInfo&>(header));
        return true;
    }
    if (header.code == kLvnKeyDown) {
        const auto& key = reinterpret_cast<const ListViewKeyDown&>(header);
        if (key.wVKey == kVkC && platform_.GetKeyState(kVkControl) < 0) {
            CopyAsText();
        }
        return true;
    }
    return false;
}

void SequenceSheet::OnGetDispInfo(const ListViewDispInfo& info) {
    const ListViewItem& item = info.item;
    if ((item.mask & kLvifText) == 0 || item.iItem < 0 ||
        static_cast<std::size_t>(item.iItem) >= view_.Size()) {
        return;
    }
    const auto row = static_cast<std::size_t>(item.iItem);
    switch (item.iSubItem) {
        case 0:
            CopyCellText(item,
                         view_.IsHeading(row) ? view_.Keys(row) : kMemberIndent + view_.Keys(row));
            break;
        case 1:
            CopyCellText(item, view_.Name(row));
            break;
        case 2:
            CopyCellText(item, view_.Runs(row));
            break;
        default:
            break;
    }
}

}  // namespace pavix
