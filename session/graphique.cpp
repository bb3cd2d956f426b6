#include "session/graphique.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "formats/cp1252.h"
#include "formats/date_canonique.h"
#include "formats/texte.h"

namespace tarvo {

std::size_t SerieGraphe::nb_points() const {
    std::size_t n = 0;
    for (const auto& s : segments) n += s.size();
    return n;
}

std::vector<std::string> items_graphe(const TableEtapes& etapes) {
    std::vector<std::string> items;
    std::size_t plus_long = 0;
    for (int m = 2; m < etapes.K(); ++m) {
        items.push_back(etapes.titres_colonnes.at(static_cast<std::size_t>(m)));
        plus_long = std::max(plus_long, items.back().size());
    }
    if (etapes.K() < 2) return items;
    items.push_back(completer_a_droite("n OK", static_cast<int>(plus_long), ' '));
    return items;
}

Coches restaurer_coches(std::string_view texte, int nb_items) {
    Coches coches;
    for (auto& c : coches) c.assign(static_cast<std::size_t>(std::max(nb_items, 0)), false);
    std::size_t debut = 0;
    for (int k = 0; k < nb_graphes && debut <= texte.size(); ++k) {
        std::size_t fin = texte.find(';', debut);
        if (fin == std::string_view::npos) fin = texte.size();
        const std::string_view groupe = texte.substr(debut, fin - debut);
        std::size_t d = 0;
        while (d < groupe.size()) {
            std::size_t f = groupe.find(',', d);
            if (f == std::string_view::npos) f = groupe.size();
            int indice = -1;
            const auto r = std::from_chars(groupe.data() + d, groupe.data() + f, indice);
            // A description of another data family may name items this run does not have.
            if (r.ec == std::errc() && indice >= 0 && indice < nb_items)
                coches[static_cast<std::size_t>(k)][static_cast<std::size_t>(indice)] = true;
            d = f + 1;
        }
        debut = fin + 1;
    }
    return coches;
}

Coches dispatcher_coches(int nb_items) {
    Coches coches;
    for (auto& c : coches) c.assign(static_cast<std::size_t>(std::max(nb_items, 0)), false);
    for (int p = 0; p < nb_items && p < max_series_graphe; ++p)
        coches[static_cast<std::size_t>(p % nb_graphes)][static_cast<std::size_t>(p)] = true;
    return coches;
}

std::string texte_selection(const Coches& coches) {
    std::string texte;
    for (const auto& c : coches) {
        for (std::size_t p = 0; p < c.size(); ++p)
            if (c[p]) texte += std::to_string(p) + ",";
        texte += ";";
    }
    return texte;
}

DonneesGraphe donnees_graphe(const TableEtapes& etapes, const std::vector<bool>& colonnes,
                             const std::vector<bool>& derivees,
                             const std::vector<std::string>& items, bool abscisse_n,
                             double pas_jours, int& compteur_series) {
    DonneesGraphe graphe;
    const int N = etapes.N();
    const int K = etapes.K();
    double minimum = 1e100, maximum = -1e100;
    for (std::size_t p = 0; p < colonnes.size() && p < items.size(); ++p) {
        if (!colonnes[p]) continue;
        if (static_cast<int>(graphe.series.size()) >= max_series_graphe) break;
        ++compteur_series;
        const bool derivee = p < derivees.size() && derivees[p];
        SerieGraphe serie;
        serie.titre = derivee ? "d/dt > " + items[p] : items[p];
        serie.couleur = (compteur_series - 1) % max_series_graphe;
        const int m = static_cast<int>(p) + 2;
        const bool compte = m == K;
        std::vector<PointGraphe> segment;
        long double precedent = 0;
        bool precedent_na = false;
        for (int i = 2; i <= N - 1; ++i) {
            const std::size_t c = etapes.indice(i, m);
            const long double valeur = etapes.valeur[c];
            const bool na = etapes.na[c] != 0;
            double y = static_cast<double>(valeur);
            bool tracable = true;
            if (derivee) {
                // A rate needs two usable neighbours: the first row and both sides of an NA are
                // gaps.
                if (i == 2 || precedent_na || na)
                    tracable = false;
                else
                    y = static_cast<double>((valeur - precedent) / pas_jours);
            }
            precedent = valeur;
            precedent_na = na;
            const bool trace =
                tracable && ((!na && etapes.nb_ok[c] >= 1) || (compte && valeur > 0));
            if (!trace) {
                if (!segment.empty()) serie.segments.push_back(std::move(segment));
                segment.clear();
                continue;
            }
            if (compte) y = static_cast<double>(valeur);
            minimum = std::min(minimum, y);
            maximum = std::max(maximum, y);
            segment.push_back({abscisse_n ? i - 1.0 : etapes.date[static_cast<std::size_t>(i)], y});
        }
        if (!segment.empty()) serie.segments.push_back(std::move(segment));
        graphe.series.push_back(std::move(serie));
    }
    // A flat series still gets a readable axis: a zero range leaves 0.1 on each side.
    if (maximum >= minimum) {
        const double r = maximum - minimum;
        graphe.axe_min = minimum - r - 0.1;
        graphe.axe_max = maximum + r + 0.1;
    }
    return graphe;
}

std::string texte_pas_graphe(const ParametresGrille& parametres) {
    const int n = parametres.SpinEdit_pas_jour_mois_annee;
    switch (parametres.unite_pas) {
        case unite_jour:
            return "pas = " + std::to_string(n) + " jour" + (n > 1 ? "s" : "");
        case unite_mois:
            return "pas = " + std::to_string(n) + " mois";
        case unite_annee:
            return "pas = " + std::to_string(n) + fr(" année") + (n > 1 ? "s" : "");
        default: {
            const long secondes = std::lround(parametres.TimePicker_pas * jour_en_secondes);
            char texte[32];
            std::snprintf(texte, sizeof texte, "%02ld:%02ld:%02ld", secondes / 3600,
                          secondes / 60 % 60, secondes % 60);
            return "pas = " + std::string(texte);
        }
    }
}

std::string texte_lecture_point(std::string_view titre_serie, double x, double y) {
    char valeur[64];
    std::snprintf(valeur, sizeof valeur, "%5.3f ", y);
    return fr("  série   ") + std::string(titre_serie) + "\n  " + texte_grille(x) + "\n  " + valeur;
}

bool valeurs_a_tracer(const TableEtapes& etapes) {
    for (int m = 2; m <= etapes.K() - 1; ++m)
        for (int i = 2; i <= etapes.N() - 1; ++i) {
            const std::size_t c = etapes.indice(i, m);
            if (etapes.na[c] == 0 && etapes.nb_ok[c] >= 1) return true;
        }
    return false;
}

std::string message_graphe_sans_donnee() {
    return fr(" aucune donnée, vérifier la période et le traitement...");
}

std::string question_dispatcher_colonnes() {
    return " cocher toutes les colonnes en les  \n dispatchant sur les 5 graphiques ? \n";
}

std::vector<std::string> aide_graphe() {
    return {
        fr(" Zoomer avec la roulette ou en sélectionnant une zone"),
        fr(" Réinitialiser le zoom avec un double-clik ou en sélectionnant une zone vers le haut"),
        fr(" Déplacements du graphe avec clik droit et glissements"),
        fr(" Clik gauche sur un point pour afficher X et Y et déplacer le curseur pour effacer")};
}

}  // namespace tarvo
