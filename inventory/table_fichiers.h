// The file table of stage 1: one row per input file under a row of 16 column titles,
// every cell addressed by the title of its column.
#pragma once

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

class Dialogue;

inline constexpr int nb_colonnes_table = 16;
// The mark column is the one column found by position ("x" = file to process).
inline constexpr int colonne_marque = 15;

// The columns in their order; titre() gives the title a cell is addressed by.
enum class Colonne {
    n,
    fichier,
    sous_repertoire,
    station,
    date_nom_fichier,
    taille,
    date_dep,
    date_fin,
    nb_donnees,
    nb_extraites,
    pas_moyen,
    duree,
    correction,
    nb_colonnes,
    ligne_intitules,
    marque,
};

// Title (Windows-1252) and width in pixels of each column, in order.
const std::array<std::string, nb_colonnes_table>& titres_table();
const std::array<int, nb_colonnes_table>& largeurs_table();
const std::string& titre(Colonne colonne);

// A cell addressed by a title that no column has: a programming error, whose text is
// the message the user would have been shown.
class ErreurColonne : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

enum class GenreTri { texte, nombre };

class TableFichiers {
public:
    using Ligne = std::array<std::string, nb_colonnes_table>;

    // The title row alone.
    TableFichiers();

    // Rows including the title row (at least 1).
    int nb_lignes() const { return static_cast<int>(lignes_.size()); }
    int nb_fichiers() const { return nb_lignes() - 1; }

    // Back to the title row alone.
    void vider();
    // Appends an empty row and returns its number.
    int ajouter_ligne();

    // Index of the column whose trimmed title equals the trimmed title (the last one when
    // several do); −1 when none does.
    int indice_colonne(std::string_view titre) const;

    // Throw ErreurColonne for an unknown title, std::out_of_range for a missing row.
    const std::string& lire_cellule(int ligne, std::string_view titre) const;
    void ecrire_cellule(int ligne, std::string_view titre, std::string texte);
    const std::string& lire_cellule(int ligne, Colonne colonne) const;
    void ecrire_cellule(int ligne, Colonne colonne, std::string texte);

    const Ligne& ligne(int i) const { return lignes_.at(static_cast<std::size_t>(i)); }

    bool marquee(int ligne) const;
    void marquer(int ligne, bool marque);
    // The rows a run reads: the marked ones, or every file when none is marked.
    std::vector<int> lignes_a_traiter() const;

    // Sorts rows 1 to the last by one column, with the exchange sort over halving gaps
    // that users know: equal cells never move, and a number cell that is not a complete
    // number sorts as 0.
    void trier_tableau(int colonne, GenreTri genre, bool croissant);

private:
    int colonne_ou_exception(std::string_view titre) const;
    std::vector<Ligne> lignes_;
};

// ListBox_fic_coche: the names of the marked rows, in table order.
std::vector<std::string> memoriser_marques(const TableFichiers& table);

// Clears every mark, then marks each row whose name is in the list, so that the marks
// survive a new listing.
void restaurer_marques(TableFichiers& table, const std::vector<std::string>& fic_coche);

// The kind a title double-click sorts with: number when the cell of row 1 begins with a
// digit, text otherwise and always for the file-name date (written year first).
GenreTri genre_tri_colonne(const TableFichiers& table, int colonne);

}  // namespace tarvo
