// The file table of stage 1 as an item model: the title row becomes the horizontal header,
// each file a row, and the cells are turned into Qt text only when the view asks for them.
#pragma once

#include <QAbstractTableModel>
#include <array>

#include "description/fichiers_programme.h"

namespace tarvo {

class TableFichiers;

class ModeleTableFichiers : public QAbstractTableModel {
    Q_OBJECT
public:
    // What the cells of a selected row are painted with; the view's delegate reads them,
    // since a model does not know the selection.
    static constexpr int role_fond_selection = Qt::UserRole + 1;
    static constexpr int role_texte_selection = Qt::UserRole + 2;

    explicit ModeleTableFichiers(QObject* parent = nullptr);

    // The table stays the session's; the model only reads it.
    void definir(const TableFichiers* table);
    // Background, buttons, lists and entry-field colours of the window.
    void definir_couleurs(const std::array<Couleur, 4>& couleurs);
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const TableFichiers* table_ = nullptr;
    std::array<Couleur, 4> couleurs_ = couleurs_par_defaut;
};

}  // namespace tarvo
