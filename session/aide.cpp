#include "session/aide.h"

#include <algorithm>
#include <cctype>

#include "formats/cp1252.h"

namespace tarvo {

namespace detail {

EntreeAide entree(std::string numero, std::vector<std::string> controles,
                  std::vector<std::string_view> lignes_utf8) {
    EntreeAide e{std::move(numero), std::move(controles), {}};
    for (std::size_t i = 0; i < lignes_utf8.size() && i < e.lignes.size(); ++i)
        e.lignes[i] = fr(lignes_utf8[i]);
    return e;
}

}  // namespace detail

const std::vector<EntreeAide>& entrees_aide() {
    static const std::vector<EntreeAide> table = [] {
        std::vector<EntreeAide> t = detail::entrees_aide_haut();
        for (EntreeAide& e : detail::entrees_aide_bas()) t.push_back(std::move(e));
        return t;
    }();
    return table;
}

const EntreeAide* entree_aide(std::string_view controle) {
    for (const EntreeAide& e : entrees_aide())
        if (std::find(e.controles.begin(), e.controles.end(), controle) != e.controles.end())
            return &e;
    return nullptr;
}

LignesAide lignes_aide(const EntreeAide& entree, std::string_view editeur) {
    LignesAide lignes = entree.lignes;
    if (entree.nom_editeur) {
        // The setting may carry a parameter and trailing blanks: "notepad++.exe ".
        while (!editeur.empty() && editeur.back() == ' ') editeur.remove_suffix(1);
        lignes[0] += std::string(editeur) + ")";
    }
    return lignes;
}

int taille_police_aide(const EntreeAide* entree) {
    return entree && entree->petite_police ? 8 : 10;
}

int lignes_a_afficher(const LignesAide& lignes) {
    int n = 0;
    for (int i = 0; i < static_cast<int>(lignes.size()); ++i)
        if (!lignes[static_cast<std::size_t>(i)].empty()) n = i + 1;
    return std::max(n, 2);
}

LignesFlottantes lignes_flottantes(const LignesAide& lignes) {
    LignesFlottantes f{lignes, {}};
    for (std::string& l : f.lignes) {
        if (l.empty() || !std::isdigit(static_cast<unsigned char>(l.front()))) continue;
        f.numero = l.substr(0, 2);
        l.replace(0, std::min<std::size_t>(2, l.size()), "  ");
    }
    return f;
}

CadreAide cadre_flottant(const MesuresAide& m, int n, std::string_view numero) {
    int w = 150;
    for (int largeur : m.largeurs) w = std::max(w, largeur);
    CadreAide c;
    c.largeur = w * 11 / 10;
    c.hauteur = n * 15 + 15;
    c.gauche = std::min(m.pointeur_x - m.fenetre_gauche, m.fenetre_largeur - c.largeur - 20);
    // The window scrolls on small screens: the caption may be out of sight, the box may not.
    c.haut =
        numero == "19"
            ? std::max(0, std::min(m.haut_periode_traitee, m.fenetre_hauteur - c.hauteur))
            : std::min(m.pointeur_y - m.fenetre_haut + 20, m.fenetre_hauteur - c.hauteur - 150);
    const bool couvre = c.gauche < m.controle_gauche + m.controle_largeur &&
                        m.controle_gauche < c.gauche + c.largeur &&
                        c.haut < m.controle_haut + m.controle_hauteur &&
                        m.controle_haut < c.haut + c.hauteur;
    if (couvre) {
        const int dessous = m.controle_haut + m.controle_hauteur + 4;
        c.haut = dessous + c.hauteur <= m.fenetre_hauteur
                     ? dessous
                     : std::max(0, m.controle_haut - c.hauteur - 4);
    }
    return c;
}

std::optional<std::vector<int>> lignes_a_remplacer(const std::vector<std::string>& affichees,
                                                   const std::vector<std::string>& nouvelles) {
    if (affichees.size() != nouvelles.size()) return std::nullopt;
    std::vector<int> changees;
    for (std::size_t i = 0; i < nouvelles.size(); ++i)
        if (affichees[i] != nouvelles[i]) changees.push_back(static_cast<int>(i));
    return changees;
}

}  // namespace tarvo
