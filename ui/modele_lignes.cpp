#include "ui/modele_lignes.h"

#include "ui/conversions_qt.h"

namespace tarvo {

ModeleLignes::ModeleLignes(QObject* parent) : QAbstractListModel(parent) {}

void ModeleLignes::definir(const std::vector<std::string>* lignes) {
    beginResetModel();
    lignes_ = lignes;
    endResetModel();
}

int ModeleLignes::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !lignes_) return 0;
    return static_cast<int>(lignes_->size());
}

QVariant ModeleLignes::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !lignes_ || !index.isValid() || index.column() != 0 ||
        index.row() < 0 || static_cast<std::size_t>(index.row()) >= lignes_->size())
        return {};
    ++nb_lignes_converties_;
    return qt((*lignes_)[static_cast<std::size_t>(index.row())]);
}

}  // namespace tarvo
