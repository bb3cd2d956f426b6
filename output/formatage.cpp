#include "output/formatage.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "description/description.h"
#include "engine/grille.h"
#include "engine/table_etapes.h"
#include "formats/nombres.h"
#include "formats/texte.h"
#include "plateforme/progression.h"

namespace tarvo {

namespace {

using Horloge = std::chrono::steady_clock;

// The clock is read every so many rows; events run every 100 ms or every 4096 rows.
constexpr int rangs_par_lecture_horloge = 256;
constexpr int rangs_par_passe = 4096;

}  // namespace

std::string separateur_sortie(int index) {
    switch (index) {
        case 1:
            return " ";
        case 2:
            return " \t";
        case 3:
            return ";";
        default:
            return "\t";
    }
}

std::string texte_na(std::string_view Edit_NA) {
    const std::string cle = majuscules(rogner(Edit_NA));
    if (cle == "E") return " ";
    if (cle == "V") return {};
    return std::string(Edit_NA);
}

int nb_decimales(std::string_view Edit_nb_decimale) {
    const std::string_view texte = rogner(Edit_nb_decimale);
    // A sign would be accepted by the integer reader: "+3" is not what the field shows.
    if (texte.empty() || que_des_chiffres(texte) == 0) return 2;
    const auto n = lire_entier(texte);
    return n && *n <= 20 ? *n : 2;
}

std::string formater_valeur(long double valeur, int decimales) {
    // Nothing in the program changes the C locale, so snprintf writes a point.
    std::array<char, 128> tampon{};
    const int n = std::snprintf(tampon.data(), tampon.size(), "%5.*Lf", decimales, valeur);
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < tampon.size())
        return std::string(tampon.data(), static_cast<std::size_t>(n));
    // Huge values need more room than the usual line.
    std::string grand(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(grand.data(), grand.size(), "%5.*Lf", decimales, valeur);
    grand.resize(static_cast<std::size_t>(n));
    return grand;
}

std::string nombre_court(long double valeur) {
    std::array<char, 64> tampon{};
    if (std::isfinite(valeur) && valeur == std::floor(valeur) && std::fabs(valeur) < 1e18L) {
        std::snprintf(tampon.data(), tampon.size(), "%lld", static_cast<long long>(valeur));
        return tampon.data();
    }
    const auto r =
        std::to_chars(tampon.data(), tampon.data() + tampon.size(), static_cast<double>(valeur));
    return std::string(tampon.data(), r.ptr);
}

void appliquer_marque_decimale(std::string& ligne, MarqueDecimale marque) {
    const bool point = marque == MarqueDecimale::point;
    const char voulue = point ? '.' : ',';
    const char autre = point ? ',' : '.';
    if (ligne.find(voulue) != std::string::npos) return;
    for (char& c : ligne)
        if (c == autre) c = voulue;
}

bool formater_resultats(TableEtapes& t, const std::vector<std::string>& ListBox_date_clean,
                        const Description& description, ListesResultats& listes,
                        Progression& progression) {
    const int N = t.N();
    const int K = t.K();
    const std::string sep = separateur_sortie(description.RadioGroup_separateur_sortie_ItemIndex);
    const std::string na = texte_na(description.Edit_NA);
    const int decimales = nb_decimales(description.Edit_nb_decimale);
    const MarqueDecimale marque = description.RadioGroup_DECIMAL_SEPARATOR_sortie_ItemIndex;
    const auto titre = [&](int k) -> const std::string& {
        return t.titres_colonnes[static_cast<std::size_t>(k)];
    };

    auto& resultats = listes.ListBox_DONNEE_date_clean;
    auto& valeurs = listes.ListBox_juste_donnee;
    resultats.clear();
    valeurs.clear();
    resultats.reserve(static_cast<std::size_t>(N > 0 ? N : 1));
    valeurs.reserve(static_cast<std::size_t>(N > 0 ? N : 1));
    // The counters describe the rows of this formatting only.
    std::fill(t.nb_vides.begin(), t.nb_vides.end(), 0);

    std::string entete = titre(1);
    for (int k = 2; k <= K; ++k) entete += sep + titre(k);
    resultats.push_back(std::move(entete));
    std::string entete_valeurs;
    for (int k = 2; k <= K - 1; ++k) entete_valeurs += (k > 2 ? sep : std::string()) + titre(k);
    valeurs.push_back(std::move(entete_valeurs));

    // A stop asked while the files were read ended the reading only: every row is finished
    // and is written. One asked now ends the formatting.
    const bool arret_deja_demande = progression.arret_demande();
    auto derniere_passe = Horloge::now();
    std::string ligne;
    for (int i = 1; i <= N; ++i) {
        const auto iu = static_cast<std::size_t>(i);
        ligne = iu < ListBox_date_clean.size() ? ListBox_date_clean[iu] : texte_grille(t.date[iu]);
        // The values-only line is what follows the date and its separator; a blank
        // separator would otherwise cut the date itself at its inner blank.
        const std::size_t debut_valeurs = ligne.size() + sep.size();
        const long double nb_lignes = t.nb_lignes_etape(i);
        for (int j = 2; j <= K - 1; ++j) {
            ligne += sep;
            const std::size_t c = t.indice(i, j);
            if (nb_lignes == 0 || t.na[c] != 0) {
                ligne += na;
                if (i >= 2) ++t.nb_vides[static_cast<std::size_t>(j)];
            } else {
                ligne += formater_valeur(t.valeur[c], decimales);
            }
        }
        std::string seules =
            ligne.size() > debut_valeurs ? ligne.substr(debut_valeurs) : std::string();
        ligne += sep + nombre_court(nb_lignes);
        appliquer_marque_decimale(ligne, marque);
        appliquer_marque_decimale(seules, marque);
        if (i >= 2) {
            resultats.push_back(ligne);
            valeurs.push_back(std::move(seules));
        }

        if (i % rangs_par_lecture_horloge != 0 && i != N) continue;
        const auto maintenant = Horloge::now();
        if (i % rangs_par_passe != 0 && i != N &&
            maintenant - derniere_passe < std::chrono::milliseconds(100))
            continue;
        derniere_passe = maintenant;
        const long pourcent = std::lround(static_cast<double>(i) * 100.0 / N);
        progression.afficher_progression(
            "3- patienter ... formatage " + std::to_string(pourcent) + "%   ",
            Progression::chronometre_traitement);
        progression.traiter_evenements();
        if (!arret_deja_demande && progression.arret_demande()) return i == N;
    }
    return true;
}

}  // namespace tarvo
