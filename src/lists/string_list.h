// The ordered string list behind every list-like control of the window.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tallow {

class StringList {
 public:
  virtual ~StringList() = default;

  virtual int Count() const = 0;
  // The entry at index, or the empty string when index is out of range.
  virtual std::wstring Item(int index) const = 0;
  virtual void Append(std::wstring_view text) = 0;
  // Appends many entries at once; a real control fills itself with redraw off.
  virtual void AppendMany(std::vector<std::wstring>&& items);
  virtual bool RemoveAt(int index) = 0;
  virtual void Clear() = 0;

  // -1 when no entry is current.
  virtual int CurrentIndex() const = 0;
  // Raises Click when the index actually changes, never when it is set to the value it has.
  virtual void SetCurrentIndex(int index) = 0;
  std::wstring CurrentText() const { return Item(CurrentIndex()); }

  virtual int TopIndex() const = 0;
  // Clamps as a list of this size would; raises nothing.
  virtual void SetTopIndex(int index) = 0;

  // Control-level operations; a list that is not on screen ignores them.
  virtual void Focus() {}
  virtual void SetVisible(bool /*visible*/) {}
  virtual void SetHorizontalExtent(int /*pixels*/) {}

  void SetClickHandler(std::function<void()> handler) { click_ = std::move(handler); }

 protected:
  void RaiseClick() const {
    if (click_) click_();
  }

 private:
  std::function<void()> click_;
};

// A list kept in memory: the hidden lists of the window, and the fakes of the tests.
class MemoryStringList : public StringList {
 public:
  // visible_rows bounds the top index the way a list box of that height does.
  explicit MemoryStringList(int visible_rows = 1) : visible_rows_(visible_rows < 1 ? 1 : visible_rows) {}

  int Count() const override { return static_cast<int>(items_.size()); }
  std::wstring Item(int index) const override;
  void Append(std::wstring_view text) override;
  void AppendMany(std::vector<std::wstring>&& items) override;
  bool RemoveAt(int index) override;
  void Clear() override;
  int CurrentIndex() const override { return current_; }
  void SetCurrentIndex(int index) override;
  int TopIndex() const override { return top_; }
  void SetTopIndex(int index) override;
  void SetVisibleRows(int rows);

  const std::vector<std::wstring>& Items() const { return items_; }

 private:
  std::vector<std::wstring> items_;
  int current_ = -1;
  int top_ = 0;
  int visible_rows_;
};

}  // namespace tallow
