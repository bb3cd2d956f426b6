#include "inventory/table_fichiers.h"

#include <numeric>
#include <unordered_set>
#include <utility>

#include "formats/cp1252.h"
#include "formats/nombres.h"
#include "formats/texte.h"
#include "plateforme/dialogue.h"

namespace tarvo {

const std::array<std::string, nb_colonnes_table>& titres_table() {
    static const std::array<std::string, nb_colonnes_table> titres = {
        fr("n"),           fr("fichier"),           fr("s/répertoire"),
        fr("Station"),     fr("date_NOM_Fichier"),  fr("taille (Mo)"),
        fr("date dep"),    fr("date fin"),          fr("n.données"),
        fr("n.extraites"), fr("pas moyen observé"), fr("durée de traitement"),
        fr("correction"),  fr("nb Colonnes"),       fr("n°Lig intitulés"),
        fr(" x"),
    };
    return titres;
}

const std::array<int, nb_colonnes_table>& largeurs_table() {
    static constexpr std::array<int, nb_colonnes_table> largeurs = {
        44, 200, 80, 70, 100, 50, 120, 120, 70, 70, 100, 100, 100, 80, 80, 20};
    return largeurs;
}

const std::string& titre(Colonne colonne) {
    return titres_table()[static_cast<std::size_t>(colonne)];
}

TableFichiers::TableFichiers() {
    lignes_.push_back(titres_table());
}

void TableFichiers::vider() {
    lignes_.resize(1);
}

int TableFichiers::ajouter_ligne() {
    lignes_.emplace_back();
    return nb_lignes() - 1;
}

int TableFichiers::indice_colonne(std::string_view t) const {
    const std::string_view cherche = rogner(t);
    if (cherche.empty()) return -1;
    int trouvee = -1;
    for (int c = 0; c < nb_colonnes_table; ++c)
        if (rogner(lignes_[0][static_cast<std::size_t>(c)]) == cherche) trouvee = c;
    return trouvee;
}

int TableFichiers::colonne_ou_exception(std::string_view t) const {
    const int c = indice_colonne(t);
    if (c < 0) throw ErreurColonne(fr("La colonne <") + std::string(t) + fr("> n'existe pas"));
    return c;
}

const std::string& TableFichiers::lire_cellule(int ligne, std::string_view t) const {
    return lignes_.at(
        static_cast<std::size_t>(ligne))[static_cast<std::size_t>(colonne_ou_exception(t))];
}

void TableFichiers::ecrire_cellule(int ligne, std::string_view t, std::string texte) {
    lignes_.at(static_cast<std::size_t>(ligne))[static_cast<std::size_t>(colonne_ou_exception(t))] =
        std::move(texte);
}

const std::string& TableFichiers::lire_cellule(int ligne, Colonne colonne) const {
    return lire_cellule(ligne, titre(colonne));
}

void TableFichiers::ecrire_cellule(int ligne, Colonne colonne, std::string texte) {
    ecrire_cellule(ligne, titre(colonne), std::move(texte));
}

bool TableFichiers::marquee(int ligne) const {
    return lignes_.at(static_cast<std::size_t>(ligne))[colonne_marque] == "x";
}

std::vector<int> TableFichiers::lignes_a_traiter() const {
    std::vector<int> lignes;
    for (int r = 1; r < nb_lignes(); ++r)
        if (marquee(r)) lignes.push_back(r);
    if (lignes.empty())
        for (int r = 1; r < nb_lignes(); ++r) lignes.push_back(r);
    return lignes;
}

void TableFichiers::marquer(int ligne, bool marque) {
    lignes_.at(static_cast<std::size_t>(ligne))[colonne_marque] = marque ? "x" : "";
}

void TableFichiers::trier_tableau(int colonne, GenreTri genre, bool croissant) {
    if (colonne < 0 || colonne >= nb_colonnes_table) return;
    const int n = nb_fichiers();
    // Keys are read once; the exchanges move indices, the rows move once at the end.
    std::vector<double> nombres;
    if (genre == GenreTri::nombre) {
        nombres.reserve(static_cast<std::size_t>(n));
        for (int i = 1; i <= n; ++i)
            nombres.push_back(
                lire_reel(lignes_[static_cast<std::size_t>(i)][static_cast<std::size_t>(colonne)]));
    }
    std::vector<int> ordre(static_cast<std::size_t>(n));
    std::iota(ordre.begin(), ordre.end(), 1);
    const auto avant = [&](int a, int b) {  // a strictly before b in the sort order
        if (genre == GenreTri::nombre)
            return nombres[static_cast<std::size_t>(a - 1)] <
                   nombres[static_cast<std::size_t>(b - 1)];
        return lignes_[static_cast<std::size_t>(a)][static_cast<std::size_t>(colonne)] <
               lignes_[static_cast<std::size_t>(b)][static_cast<std::size_t>(colonne)];
    };
    for (int ecart = n / 2; ecart >= 1; ecart /= 2) {
        for (bool echange = true; echange;) {
            echange = false;
            for (int i = 0; i + ecart < n; ++i) {
                int& a = ordre[static_cast<std::size_t>(i)];
                int& b = ordre[static_cast<std::size_t>(i) + static_cast<std::size_t>(ecart)];
                if (croissant ? avant(b, a) : avant(a, b)) {
                    std::swap(a, b);
                    echange = true;
                }
            }
        }
    }
    std::vector<Ligne> triees;
    triees.reserve(lignes_.size());
    triees.push_back(std::move(lignes_[0]));
    for (const int i : ordre) triees.push_back(std::move(lignes_[static_cast<std::size_t>(i)]));
    lignes_ = std::move(triees);
}

std::vector<std::string> memoriser_marques(const TableFichiers& table) {
    std::vector<std::string> noms;
    for (int i = 1; i < table.nb_lignes(); ++i)
        if (table.marquee(i)) noms.push_back(table.lire_cellule(i, Colonne::fichier));
    return noms;
}

void restaurer_marques(TableFichiers& table, const std::vector<std::string>& fic_coche) {
    // Thousands of files may all be marked: one look-up per row, not a scan of the list.
    const std::unordered_set<std::string_view> marques(fic_coche.begin(), fic_coche.end());
    for (int i = 1; i < table.nb_lignes(); ++i)
        table.marquer(i, marques.contains(table.lire_cellule(i, Colonne::fichier)));
}

GenreTri genre_tri_colonne(const TableFichiers& table, int colonne) {
    if (colonne < 0 || colonne >= nb_colonnes_table) return GenreTri::texte;
    if (contient(table.ligne(0)[static_cast<std::size_t>(colonne)], "date_NOM_Fichier"))
        return GenreTri::texte;
    if (table.nb_lignes() < 2) return GenreTri::texte;
    const std::string& cellule = table.ligne(1)[static_cast<std::size_t>(colonne)];
    return !cellule.empty() && cellule[0] >= '0' && cellule[0] <= '9' ? GenreTri::nombre
                                                                      : GenreTri::texte;
}

}  // namespace tarvo
