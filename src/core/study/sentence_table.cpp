// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/sentence_table.h"

#include "core/study/number_text.h"

namespace dictora {

SentenceTable::SentenceTable(QObject* parent) : QAbstractTableModel(parent) {}

void SentenceTable::setField(int row, int field, const QString& value)
{
    QString& slot = rows_[size_t(row)][size_t(field)];
    if (slot == value)
        return;
    slot = value;
    // A view draws the whole row from its first column: the change reaches
    // it only when the range starts there.
    emit dataChanged(index(row, 0), index(row, field));
}

uint32_t SentenceTable::startMs(int row) const
{
    return textToUInt(field(row, StartMs));
}

uint32_t SentenceTable::endMs(int row) const
{
    return textToUInt(field(row, EndMs));
}

int SentenceTable::level(int row) const
{
    return textToInt(field(row, Level));
}

void SentenceTable::setRow(int row, SentenceRow value)
{
    rows_[size_t(row)] = std::move(value);
    emit dataChanged(index(row, 0), index(row, FieldCount - 1));
}

void SentenceTable::appendRow(SentenceRow value)
{
    insertRow(rowCount(), std::move(value));
}

void SentenceTable::insertRow(int at, SentenceRow value)
{
    beginInsertRows({}, at, at);
    rows_.insert(rows_.begin() + at, std::move(value));
    endInsertRows();
}

void SentenceTable::insertRows(int at, std::vector<SentenceRow> values)
{
    if (values.empty())
        return;
    beginInsertRows({}, at, at + int(values.size()) - 1);
    rows_.insert(rows_.begin() + at, std::make_move_iterator(values.begin()),
                 std::make_move_iterator(values.end()));
    endInsertRows();
}

bool SentenceTable::removeRows(int at, int count, const QModelIndex& parent)
{
    if (parent.isValid() || count <= 0 || at < 0 || at > rowCount() - count)
        return false;
    beginRemoveRows({}, at, at + count - 1);
    rows_.erase(rows_.begin() + at, rows_.begin() + at + count);
    endRemoveRows();
    return true;
}

void SentenceTable::replaceAll(std::vector<SentenceRow> values)
{
    beginResetModel();
    rows_ = std::move(values);
    endResetModel();
}

void SentenceTable::clear()
{
    replaceAll({});
}

int SentenceTable::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rowCount();
}

int SentenceTable::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : FieldCount;
}

QVariant SentenceTable::data(const QModelIndex& index, int role) const
{
    // The row is read once, from its first column. The hidden columns say
    // nothing: a blank, as an empty text would have the raw field read out
    // (and with it the sentence being dictated).
    if (index.isValid() && role == Qt::AccessibleTextRole && accessibleRowText &&
        isValidRow(index.row()))
        return index.column() == 0 ? accessibleRowText(index.row()) : QStringLiteral(" ");
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return field(index.row(), index.column());
}

SentenceRow makeSentenceRow()
{
    SentenceRow row;
    row[Kind] = QStringLiteral("1");
    return row;
}

SentenceRow makeTitleRow(const QString& title)
{
    SentenceRow row;
    row[Kind] = QStringLiteral("0");
    row[StartMs] = row[EndMs] = row[Done] = row[Level] = row[MediaLengthMs] = QStringLiteral("0");
    row[SectionTitle] = title;
    return row;
}

} // namespace dictora
