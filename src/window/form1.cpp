#include "window/form1.h"

#include "actions/delete_actions.h"
#include "actions/file_actions.h"
#include "search/run_search.h"

namespace tallow {

Form1::Form1(Platform& platform, FormHost& host, const Form1Controls& controls)
    : platform_(platform), host_(host), c_(controls), results_(controls.list1) {}

void Form1::OnLoad() {
  host_.Show();
  c_.list1.Focus();
  c_.list1.SetHorizontalExtent(kNamesListExtent);
  c_.list1.SetAccessibleName(kList1AccessibleName);
  c_.combo1.SetAccessibleName(kCombo1AccessibleName);
  c_.text1.SetAccessibleName(kText1AccessibleName);
  for (std::wstring_view extension : kBuiltInExtensions) c_.combo1.Append(extension);
  c_.command1.SetCaption(kSearchCaption);
  c_.command2.SetCaption(kHelpCaption);
  host_.KeepOnTop();
}

template <typename Action>
void Form1::Exclusively(Action&& action) {
  if (busy_) return;
  busy_ = true;
  struct Done {
    bool& busy;
    ~Done() { busy = false; }
  } done{busy_};
  action();
}

void Form1::Search() {
  combo1_index_ = c_.combo1.CurrentIndex();
  RunSearch(platform_, results_, c_.combo1);
  host_.DropPendingInput();
}

void Form1::OnCommand1Click() {
  Exclusively([this] { Search(); });
}

void Form1::OnCombo1Click() {
  if (c_.combo1.CurrentIndex() != combo1_index_) OnCommand1Click();
}

void Form1::OnCommand3Click() {
  if (busy_) return;
  const std::wstring text = c_.text1.Text();
  if (text == L"." || text == L"..") {
    platform_.ShowMessage(std::wstring(kEnterExtensionText), std::wstring(kReminderTitle), MessageIcon::kInformation);
    return;
  }
  // The new entry becomes current, which is the chooser's Click and its one scan.
  c_.combo1.Append(text);
  c_.combo1.SetCurrentIndex(c_.combo1.Count() - 1);
  OnCombo1Click();
}

void Form1::OnText1Change() { c_.text1.SetSelLength(1); }

void Form1::OnCommand2Click() {
  Exclusively([this] {
    c_.list1.Focus();
    platform_.ShowMessage(std::wstring(kHelpText), std::wstring(kHelpTitle), MessageIcon::kInformation);
  });
}

void Form1::OnList1DblClick() {
  Exclusively([this] { OpenListed(platform_, CurrentPath()); });
}

void Form1::OnList1MouseUp(int button, int x, int y) {
  if (button == kRightButton) OnList1ContextMenu(x, y);
}

void Form1::OnList1ContextMenu(int x, int y) {
  if (!busy_ && !results_.Selected().indices.empty()) host_.ShowPopupMenu(x, y);
}

void Form1::OnCopytoClick() {
  Exclusively([this] { SaveSelected(platform_, results_.Selected()); });
}

void Form1::DeleteThenSearch(ListedEntries doomed) {
  std::optional<std::wstring> failure = DeleteSelected(platform_, doomed);
  doomed = {};  // not held beside the new scan's listing
  Search();
  // Said after the scan, so that the list behind the message already shows what stayed.
  if (failure) platform_.ShowMessage(*failure, std::wstring(kReminderTitle), MessageIcon::kExclamation);
}

// One file goes at once, as it always has; several only after a question, since a slip of the
// mouse would cost most here. What the question counted is what goes, whatever is listed by the
// time of the answer. Nothing selected deletes nothing and scans all the same.
void Form1::OnDelClick() {
  Exclusively([this] {
    ListedEntries doomed = results_.Selected();
    if (doomed.indices.size() > 1 &&
        !platform_.AskYesNo(DeleteSeveralText(doomed.indices.size()), std::wstring(kReminderTitle))) {
      return;
    }
    DeleteThenSearch(std::move(doomed));
  });
}

void Form1::OnDelallClick() {
  Exclusively([this] {
    // What the question names is what goes: the listing as shown now, whatever is listed by
    // the time the user answers. The deletes are for good. With nothing listed there is
    // nothing to ask about; the scan still runs.
    std::shared_ptr<const CacheListing> listing = results_.listing();
    if (listing->Count() > 0 && !platform_.AskYesNo(DeleteAllText(listing->Count()), std::wstring(kReminderTitle))) {
      return;
    }
    std::optional<std::wstring> failure = DeleteAllListed(platform_, *listing);
    listing.reset();  // not held beside the new scan's
    Search();
    if (failure) platform_.ShowMessage(*failure, std::wstring(kReminderTitle), MessageIcon::kExclamation);
  });
}

void Form1::OnList1DeleteKey() {
  Exclusively([this] {
    // The entries asked about are the ones that go, whatever is listed by the time of the answer.
    ListedEntries doomed = results_.Selected();
    if (doomed.indices.empty()) return;
    const std::wstring question = doomed.indices.size() == 1 ? DeleteOneText(doomed.listing->Name(doomed.indices[0]))
                                                             : DeleteSeveralText(doomed.indices.size());
    if (!platform_.AskYesNo(question, std::wstring(kReminderTitle))) return;
    DeleteThenSearch(std::move(doomed));
  });
}

}  // namespace tallow
