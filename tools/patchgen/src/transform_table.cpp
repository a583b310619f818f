#include "transform_table.h"

#include <stdexcept>

namespace patchgen {
namespace {

constexpr std::uint16_t kInsertFlag = 0x0001;
constexpr unsigned kInsertCountShift = 8;
// An update mask has one bit per column, bit 0 being the insertion flag: 15 columns at most.
constexpr std::size_t kMaxUpdateColumns = 15;
// Stored integers are offset so that 0 can mean null.
constexpr std::uint16_t kInt16Bias = 0x8000;
constexpr std::uint32_t kInt32Bias = 0x80000000u;

}  // namespace

TransformTable::TransformTable(TableSchema schema) : schema_(std::move(schema)) {
    if (schema_.columns.empty() || schema_.columns.size() > kMaxUpdateColumns)
        throw std::invalid_argument("table " + schema_.name + ": unsupported column count");
}

void TransformTable::CheckCell(std::size_t column, const Cell& cell) const {
    const Column& c = schema_.columns[column];
    const bool ok = std::holds_alternative<std::monostate>(cell) ||
                    (c.kind == ColumnKind::String ? std::holds_alternative<std::string>(cell)
                                                  : std::holds_alternative<std::int32_t>(cell));
    if (!ok) throw std::invalid_argument("table " + schema_.name + ", column " + c.name + ": wrong kind of value");
    if (c.kind == ColumnKind::Int16 && std::holds_alternative<std::int32_t>(cell)) {
        const std::int32_t v = std::get<std::int32_t>(cell);
        if (v < -0x7FFF || v > 0x7FFF)
            throw std::invalid_argument("table " + schema_.name + ", column " + c.name + ": value out of range");
    }
}

void TransformTable::Update(const std::vector<Cell>& keys,
                            const std::vector<std::pair<std::string, Cell>>& changes) {
    Operation op{0, {}};
    std::size_t keyIndex = 0;
    std::vector<std::pair<std::size_t, Cell>> changed;
    for (const auto& [name, cell] : changes) {
        std::size_t i = 0;
        while (i < schema_.columns.size() && schema_.columns[i].name != name) ++i;
        if (i == schema_.columns.size())
            throw std::invalid_argument("table " + schema_.name + ": no column " + name);
        if (schema_.columns[i].key)
            throw std::invalid_argument("table " + schema_.name + ": key column " + name + " cannot change");
        CheckCell(i, cell);
        op.mask = static_cast<std::uint16_t>(op.mask | (1u << i));
        changed.emplace_back(i, cell);
    }
    if (op.mask == 0) throw std::invalid_argument("table " + schema_.name + ": an update changes nothing");
    for (std::size_t i = 0; i < schema_.columns.size(); ++i) {
        if (schema_.columns[i].key) {
            if (keyIndex >= keys.size()) throw std::invalid_argument("table " + schema_.name + ": too few keys");
            CheckCell(i, keys[keyIndex]);
            op.cells.emplace_back(i, keys[keyIndex++]);
        } else {
            for (const auto& c : changed)
                if (c.first == i) op.cells.push_back(c);
        }
    }
    if (keyIndex != keys.size()) throw std::invalid_argument("table " + schema_.name + ": too many keys");
    operations_.push_back(std::move(op));
}

void TransformTable::Insert(const std::vector<Cell>& row) {
    if (row.size() != schema_.columns.size())
        throw std::invalid_argument("table " + schema_.name + ": a new row needs " +
                                    std::to_string(schema_.columns.size()) + " cells");
    Operation op{static_cast<std::uint16_t>(kInsertFlag | (row.size() << kInsertCountShift)), {}};
    for (std::size_t i = 0; i < row.size(); ++i) {
        CheckCell(i, row[i]);
        op.cells.emplace_back(i, row[i]);
    }
    operations_.push_back(std::move(op));
}

Bytes TransformTable::Serialize(StringPool& pool) const {
    Bytes out;
    for (const Operation& op : operations_) {
        PutU16(out, op.mask);
        for (const auto& [index, cell] : op.cells) {
            switch (schema_.columns[index].kind) {
            case ColumnKind::String:
                PutU16(out, std::holds_alternative<std::string>(cell) && !std::get<std::string>(cell).empty()
                                ? pool.Intern(std::get<std::string>(cell))
                                : 0);
                break;
            case ColumnKind::Int16:
                PutU16(out, std::holds_alternative<std::int32_t>(cell)
                                ? static_cast<std::uint16_t>(std::get<std::int32_t>(cell) + kInt16Bias)
                                : 0);
                break;
            case ColumnKind::Int32:
                PutU32(out, std::holds_alternative<std::int32_t>(cell)
                                ? static_cast<std::uint32_t>(std::get<std::int32_t>(cell)) ^ kInt32Bias
                                : 0);
                break;
            }
        }
    }
    return out;
}

TableSchema PropertyTable() {
    return {"Property", {{"Property", ColumnKind::String, true}, {"Value", ColumnKind::String, false}}};
}

TableSchema FileTable() {
    return {"File",
            {{"File", ColumnKind::String, true},
             {"Component_", ColumnKind::String, false},
             {"FileName", ColumnKind::String, false},
             {"FileSize", ColumnKind::Int32, false},
             {"Version", ColumnKind::String, false},
             {"Language", ColumnKind::String, false},
             {"Attributes", ColumnKind::Int16, false},
             {"Sequence", ColumnKind::Int32, false}}};
}

TableSchema MediaTable() {
    return {"Media",
            {{"DiskId", ColumnKind::Int16, true},
             {"LastSequence", ColumnKind::Int32, false},
             {"DiskPrompt", ColumnKind::String, false},
             {"Cabinet", ColumnKind::String, false},
             {"VolumeLabel", ColumnKind::String, false},
             {"Source", ColumnKind::String, false}}};
}

TableSchema MsiFileHashTable() {
    return {"MsiFileHash",
            {{"File_", ColumnKind::String, true},
             {"Options", ColumnKind::Int16, false},
             {"HashPart1", ColumnKind::Int32, false},
             {"HashPart2", ColumnKind::Int32, false},
             {"HashPart3", ColumnKind::Int32, false},
             {"HashPart4", ColumnKind::Int32, false}}};
}

TableSchema InstallExecuteSequenceTable() {
    return {"InstallExecuteSequence",
            {{"Action", ColumnKind::String, true},
             {"Condition", ColumnKind::String, false},
             {"Sequence", ColumnKind::Int16, false}}};
}

TableSchema AppSearchTable() {
    return {"AppSearch", {{"Property", ColumnKind::String, true}, {"Signature_", ColumnKind::String, true}}};
}

TableSchema RegLocatorTable() {
    return {"RegLocator",
            {{"Signature_", ColumnKind::String, true},
             {"Root", ColumnKind::Int16, false},
             {"Key", ColumnKind::String, false},
             {"Name", ColumnKind::String, false},
             {"Type", ColumnKind::Int16, false}}};
}

TableSchema LaunchConditionTable() {
    return {"LaunchCondition", {{"Condition", ColumnKind::String, true}, {"Description", ColumnKind::String, false}}};
}

}  // namespace patchgen
