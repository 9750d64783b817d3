// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace dictora {

// The twelve fields of a row, in file order. The numbers are also the column
// numbers that every window and rule uses to address a field.
enum Field : int {
    Kind = 0, // "0" title row, "1" sentence row
    StartMs,  // "%u"
    EndMs,    // "%u"; 0 on a sentence = until the next sentence starts
    Text,
    Text2,
    Done,      // "1" resting, "0" to study
    Level,     // memory level, 0 = new
    StudiedAt, // 14-digit stamp "%Y%m%d%H%M%S", local time
    SectionTitle,
    MediaPath, // full path, ".." for a copy under Media/<unit>/, or empty
    MediaName,
    MediaLengthMs, // "%u", as the learner declared it
    FieldCount
};

using SentenceRow = std::array<QString, FieldCount>;

// The open Unit in memory: ordered rows of twelve text fields. It is at the
// same time the model the sentence list shows, so every change goes through
// the model's notifications. Rules elsewhere read and write it by row index
// and field number; nothing here knows what the fields mean beyond Kind.
class SentenceTable : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit SentenceTable(QObject* parent = nullptr);

    int rowCount() const { return int(rows_.size()); }
    const QString& field(int row, int field) const { return rows_[size_t(row)][size_t(field)]; }
    const SentenceRow& row(int row) const { return rows_[size_t(row)]; }
    const std::vector<SentenceRow>& rows() const { return rows_; }

    void setField(int row, int field, const QString& value);
    void setRow(int row, SentenceRow value);
    void appendRow(SentenceRow value);
    void insertRow(int at, SentenceRow value);
    void insertRows(int at, std::vector<SentenceRow> values);
    using QAbstractTableModel::insertRows;
    // Removes count rows from at (the model's own removal, so views that
    // remove rows reach the same code). False for a range outside the table.
    bool removeRows(int at, int count, const QModelIndex& parent = {}) override;
    void replaceAll(std::vector<SentenceRow> values);
    void clear();

    // A row is a title row exactly when its kind text is "0"; any other kind
    // counts as a sentence. The file holds kind as a number and its reader
    // takes any value above 0 for a sentence, and "本行设置成标题" turns any
    // kind but "0" into a title: so "1" is only the kind that new rows get,
    // never the test.
    bool isTitle(int row) const { return field(row, Kind) == QLatin1String("0"); }
    bool isSentence(int row) const { return !isTitle(row); }
    bool isTitleRow(int row) const { return isTitle(row); }
    bool isValidRow(int row) const { return row >= 0 && row < rowCount(); }

    // The number fields of a row, read as the file writes them.
    uint32_t startMs(int row) const;
    uint32_t endMs(int row) const;
    int level(int row) const;

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // What assistive technology reads for a row (Qt::AccessibleTextRole);
    // set by the window that shows the table, which knows what a row shows.
    std::function<QString(int row)> accessibleRowText;

private:
    std::vector<SentenceRow> rows_;
};

// A sentence row with every field empty but kind "1"; callers fill the rest.
SentenceRow makeSentenceRow();
// A title row: kind "0", times and counters "0", the given title.
SentenceRow makeTitleRow(const QString& title);

} // namespace dictora
