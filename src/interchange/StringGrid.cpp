#include "interchange/StringGrid.h"

#include <utility>

namespace kw {

TStringGrid::TStringGrid(const TGridDef& def)
    : FDef(&def), FColumns(def.ColumnCount()), FTexts(FColumns), FFilled(FColumns),
      FHeaders(BuiltInHeaders(def)) {}

std::size_t TStringGrid::Index(int row, int column) const {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(FColumns) +
           static_cast<std::size_t>(column);
}

bool TStringGrid::IsEditable(int row, int column) const {
    return row >= 0 && row < FEntries && column >= 1 && column < FColumns;
}

const std::string& TStringGrid::Text(int row, int column) const {
    return FTexts.at(Index(row, column));
}

void TStringGrid::SetText(int row, int column, std::string text) {
    FTexts.at(Index(row, column)) = std::move(text);
}

const std::string& TStringGrid::FilledText(int row, int column) const {
    return FFilled.at(Index(row, column));
}

bool TStringGrid::IsMarked(int row, int column) const {
    return Text(row, column) != FilledText(row, column);
}

std::vector<TCellPos> TStringGrid::MarkedCells() const {
    std::vector<TCellPos> marked;
    for (int row = 0; row < FRows; ++row) {
        for (int column = 0; column < FColumns; ++column) {
            if (IsMarked(row, column)) {
                marked.push_back({row, column});
            }
        }
    }
    return marked;
}

void TStringGrid::SetHeaders(std::vector<std::string> headers) {
    headers.resize(static_cast<std::size_t>(FColumns));
    FHeaders = std::move(headers);
}

void TStringGrid::Fill(std::vector<std::vector<std::string>> rows) {
    Fill(static_cast<int>(rows.size()), [&rows](int row, int column) {
        auto& cells = rows[static_cast<std::size_t>(row)];
        return static_cast<std::size_t>(column) < cells.size()
                   ? std::move(cells[static_cast<std::size_t>(column)])
                   : std::string();
    });
}

void TStringGrid::Fill(int entries, const TCellSource& cell) {
    FEntries = entries;
    FRows = FEntries > 0 ? FEntries : 1;
    FFilled.resize(Index(FRows, 0));
    for (std::string& text : FFilled) {
        text.clear();
    }
    for (int row = 0; row < FEntries; ++row) {
        for (int column = 0; column < FColumns; ++column) {
            FFilled[Index(row, column)] = cell(row, column);
        }
    }
    FTexts = FFilled;
}

void TStringGrid::AcceptTexts() {
    FFilled = FTexts;
}

std::vector<std::string> GridHeaders(const TGridDef& def, const THeaderLookup& lookup) {
    std::vector<std::string> headers;
    for (const TColumnDef& column : def.Columns) {
        headers.push_back(lookup(column.HeaderKey, column.DefaultHeader));
    }
    return headers;
}

std::vector<std::string> BuiltInHeaders(const TGridDef& def) {
    return GridHeaders(def, [](const char*, const char* builtIn) { return std::string(builtIn); });
}

std::string SheetCellName(int row, int column) {
    std::string letters;
    for (int rest = column + 1; rest > 0; rest = (rest - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (rest - 1) % 26));
    }
    return letters + std::to_string(row + 1);
}

} // namespace kw
