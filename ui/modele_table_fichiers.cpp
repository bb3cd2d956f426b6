#include "ui/modele_table_fichiers.h"

#include "inventory/table_fichiers.h"
#include "ui/conversions_qt.h"
#include "ui/couleurs.h"

namespace tarvo {

namespace {

constexpr std::size_t fond = 0, boutons = 1, saisie = 3;

bool colonne_date(int c) {
    return c == static_cast<int>(Colonne::date_dep) || c == static_cast<int>(Colonne::date_fin);
}

}  // namespace

ModeleTableFichiers::ModeleTableFichiers(QObject* parent) : QAbstractTableModel(parent) {}

void ModeleTableFichiers::definir(const TableFichiers* table) {
    beginResetModel();
    table_ = table;
    endResetModel();
}

void ModeleTableFichiers::definir_couleurs(const std::array<Couleur, 4>& couleurs) {
    couleurs_ = couleurs;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                         {Qt::BackgroundRole, role_fond_selection});
}

int ModeleTableFichiers::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !table_ ? 0 : table_->nb_fichiers();
}

int ModeleTableFichiers::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : nb_colonnes_table;
}

QVariant ModeleTableFichiers::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || !table_) return {};
    const int c = index.column();
    const auto cellule = [&] {
        return qt(table_->ligne(index.row() + 1)[static_cast<std::size_t>(c)]);
    };
    switch (role) {
        case Qt::DisplayRole:
            return cellule();
        case Qt::ToolTipRole:
            return c == static_cast<int>(Colonne::fichier) ? QVariant(cellule()) : QVariant();
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        case Qt::BackgroundRole:
            if (c == static_cast<int>(Colonne::fichier)) return couleur_qt(couleurs_[saisie]);
            if (c == colonne_marque || colonne_date(c)) return couleur_qt(couleurs_[boutons]);
            return couleur_qt(couleurs_[fond]);
        case Qt::ForegroundRole:
            if (colonne_date(c)) return couleur_bleue;
            if (c == static_cast<int>(Colonne::fichier) || c == colonne_marque)
                return couleur_marron;
            return {};  // the window's text colour
        case role_fond_selection:
            return couleur_qt(couleurs_[colonne_date(c) ? boutons : saisie]);
        case role_texte_selection:
            return couleur_marron;
        default:
            return {};
    }
}

QVariant ModeleTableFichiers::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section < 0 || section >= nb_colonnes_table) return {};
    switch (role) {
        case Qt::DisplayRole: {
            const auto i = static_cast<std::size_t>(section);
            return qt(table_ ? table_->ligne(0)[i] : titres_table()[i]);
        }
        case Qt::ForegroundRole:
            return couleur_marron;
        default:
            return {};
    }
}

}  // namespace tarvo
