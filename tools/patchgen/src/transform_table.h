// The stream of one table in a database transform: a list of row operations.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "string_pool.h"

namespace patchgen {

enum class ColumnKind { String, Int16, Int32 };

struct Column {
    std::string name;
    ColumnKind kind;
    bool key;
};

struct TableSchema {
    std::string name;
    std::vector<Column> columns;
};

// A cell: null, an integer, or a string.
using Cell = std::variant<std::monostate, std::int32_t, std::string>;

// Operations are written in the order they are added. Each starts with a 16-bit mask: for an
// insertion, bit 0 set and the column count in the high byte, then every cell; for an update,
// one bit per changed column (bit 0 clear), then the keys and the changed cells in column order.
class TransformTable {
public:
    explicit TransformTable(TableSchema schema);

    // The row whose keys are `keys` takes the values of `changes` (column name, cell).
    // Throws std::invalid_argument for an unknown column, a key column among the changes, or a
    // wrong number of keys.
    void Update(const std::vector<Cell>& keys, const std::vector<std::pair<std::string, Cell>>& changes);
    // A new row with a cell for every column, in column order.
    void Insert(const std::vector<Cell>& row);

    const TableSchema& Schema() const { return schema_; }
    // Interns the strings of every operation into `pool` and returns the stream's bytes.
    Bytes Serialize(StringPool& pool) const;

private:
    struct Operation {
        std::uint16_t mask;
        std::vector<std::pair<std::size_t, Cell>> cells;  // column index, cell
    };
    void CheckCell(std::size_t column, const Cell& cell) const;

    TableSchema schema_;
    std::vector<Operation> operations_;
};

// The columns of the tables that the sample patch changes, as a product database defines them.
TableSchema PropertyTable();
TableSchema FileTable();
TableSchema MediaTable();
TableSchema MsiFileHashTable();
TableSchema InstallExecuteSequenceTable();
TableSchema AppSearchTable();
TableSchema RegLocatorTable();
TableSchema LaunchConditionTable();

}  // namespace patchgen
