// The file pre-read shown as a table: each line cut into the fields the run reads from it,
// field n in the column titled "n" and each line beside its number, so that the numbers the
// description asks for (columns to extract, date columns, first data line) can be read off.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

class ModeleApercu : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // The lines (Windows-1252) cut with the input separator as the loader leaves it (";" for
    // a tabulation) and the quoted-fields choice; the note's lines follow them, each in one
    // cell the view spans over the row. False when the table already showed exactly that, so
    // that the view keeps its place.
    bool definir(const std::vector<std::string_view>& lignes, char separateur, bool guillemets,
                 const std::vector<std::string>& note = {});
    // Rows from this one on are the note's.
    int premiere_ligne_note() const { return static_cast<int>(champs_.size()); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::vector<QStringList> champs_;
    QStringList note_;
    int nb_colonnes_ = 0;
};

}  // namespace tarvo
