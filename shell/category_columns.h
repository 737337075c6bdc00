#pragma once
// The three category columns of the browser (style, country, language): each
// a list with its filter box, clear icon and scroll bar, and what the lists
// hold and show.

#include "browse/category_lists.h"

#include <array>
#include <string>

class QString;

namespace lumaro {

class GaugeBar;
class SkinEdit;
class SkinGrid;
class SkinIconButton;
class TForm1;

struct TCategoryColumn {
    TCategoryKind Kind;
    SkinGrid* Grid;
    SkinEdit* Box;
    SkinIconButton* Icon;
    GaugeBar* Bar;
};

class TCategoryColumns {
public:
    // The columns of form's controls, which exist by now.
    explicit TCategoryColumns(const TForm1& form);

    const std::array<TCategoryColumn, 3>& All() const { return columns_; }
    const TCategoryColumn& Of(TCategoryKind kind) const { return columns_[static_cast<size_t>(kind)]; }

    // Builds the full lists from the catalogue and shows them whole.
    void Build(const TStationCatalogue& catalogue);
    // The full lists, "All" first.
    const TCategoryLists& Lists() const { return all_; }
    // The entries a list shows now (narrowed by its box).
    const ByteList& Shown(TCategoryKind kind) const { return shown_.Of(kind); }
    // The entry of the list's current row: the category choice.
    std::string Choice(TCategoryKind kind) const;

    // The box's text changed: the list shows the entries containing it and the
    // icon says whether there is anything to clear.
    void Narrow(TCategoryKind kind, const QString& boxText);
    // The clear icon: the box emptied and the full list back.
    void ClearFilter(TCategoryKind kind);
    // Each icon shows whether its category restricts the results.
    void ShowChoiceIcons();

private:
    void Show(TCategoryKind kind, ByteList entries);

    std::array<TCategoryColumn, 3> columns_;
    TCategoryLists all_;
    TCategoryLists shown_;
};

} // namespace lumaro
