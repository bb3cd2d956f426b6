// A list view's model over lines the core holds (Windows-1252), converted only when a row
// is drawn, so that a grid or a result of 100,000 lines costs nothing to show.
#pragma once

#include <QAbstractListModel>
#include <string>
#include <vector>

namespace tarvo {

class ModeleLignes : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ModeleLignes(QObject* parent = nullptr);

    // The lines shown; they stay owned by the caller, who calls `definir` again after any
    // change (the view asks for rows again). Null shows nothing.
    void definir(const std::vector<std::string>* lignes);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // The lines converted for display since the model was made: a view that shows a long
    // list at once asks for the rows on screen, never for all of them.
    std::size_t nb_lignes_converties() const { return nb_lignes_converties_; }

private:
    const std::vector<std::string>* lignes_ = nullptr;
    mutable std::size_t nb_lignes_converties_ = 0;
};

}  // namespace tarvo
