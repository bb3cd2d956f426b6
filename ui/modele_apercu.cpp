#include "ui/modele_apercu.h"

#include <QSize>
#include <algorithm>

#include "engine/extraction.h"
#include "formats/texte.h"
#include "ui/conversions_qt.h"

namespace tarvo {

bool ModeleApercu::definir(const std::vector<std::string_view>& lignes, char separateur,
                           bool guillemets, const std::vector<std::string>& note) {
    std::vector<QStringList> champs;
    champs.reserve(lignes.size());
    std::string valeurs;
    std::vector<std::string_view> vues;
    int nb_colonnes = 0;
    for (const std::string_view ligne : lignes) {
        // A sample shown before any listing still holds its tabulations.
        const std::string texte =
            separateur == ';' ? remplacer_car('\t', ';', ligne) : std::string(ligne);
        decouper_champs(texte, separateur, guillemets, valeurs, vues);
        QStringList rangee;
        rangee.reserve(static_cast<qsizetype>(vues.size()));
        for (const std::string_view v : vues) rangee << qt(v);
        nb_colonnes = std::max(nb_colonnes, static_cast<int>(rangee.size()));
        champs.push_back(std::move(rangee));
    }
    QStringList lignes_note;
    for (const std::string& l : note) lignes_note << qt(l);
    if (champs == champs_ && lignes_note == note_) return false;
    beginResetModel();
    champs_ = std::move(champs);
    note_ = std::move(lignes_note);
    nb_colonnes_ = std::max(nb_colonnes, note_.isEmpty() && champs_.empty() ? 0 : 1);
    endResetModel();
    return true;
}

int ModeleApercu::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(champs_.size()) + static_cast<int>(note_.size());
}

int ModeleApercu::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : nb_colonnes_;
}

QVariant ModeleApercu::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int ligne = index.row();
    // The note spans its row: it must not widen the first column.
    if (ligne >= premiere_ligne_note() && role == Qt::SizeHintRole) return QSize(1, 1);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    if (ligne >= premiere_ligne_note())
        return index.column() == 0 ? note_.at(ligne - premiere_ligne_note()) : QVariant();
    const QStringList& rangee = champs_[static_cast<std::size_t>(ligne)];
    return index.column() < rangee.size() ? rangee.at(index.column()) : QVariant();
}

QVariant ModeleApercu::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    // Numbered from 1, as the description numbers lines and fields.
    if (orientation == Qt::Horizontal || section < premiere_ligne_note())
        return QString::number(section + 1);
    return QString();
}

}  // namespace tarvo
