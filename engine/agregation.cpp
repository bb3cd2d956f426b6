#include "engine/agregation.h"

#include <array>
#include <chrono>
#include <string>
#include <vector>

#include "description/description.h"
#include "formats/cp1252.h"
#include "formats/journal_suivi.h"
#include "formats/nombres.h"
#include "formats/texte.h"
#include "plateforme/progression.h"

namespace tarvo {

namespace {

using Horloge = std::chrono::steady_clock;

// Events are looked at every so many rows, at most every 100 ms. A stop request is not:
// every step read so far must be finished, or a mean would be written as its sum.
constexpr int rangs_par_controle = 4096;

void passe_evenements(Progression& progression, Horloge::time_point& dernier) {
    const auto maintenant = Horloge::now();
    if (maintenant - dernier < std::chrono::milliseconds(100)) return;
    dernier = maintenant;
    progression.traiter_evenements();
}

}  // namespace

std::string legende_methode(Methode methode) {
    static const std::array<std::string, 6> legendes = {
        fr("moyenne des n mesures OK"),      fr("ponctuel = dernière mesure OK"),
        fr("max des n  mesures OK "),        fr("min des n  mesures OK "),
        fr("moy ET si vide = prec+suiv /2"), fr("cumul"),
    };
    const auto i = static_cast<std::size_t>(methode);
    return i < legendes.size() ? legendes[i] : legendes[0];
}

long long exiger_minimum_valides(TableEtapes& t, int minimum) {
    long long nb = 0;
    for (int k = 1; k <= t.N(); ++k) {
        if (t.nb_lignes_etape(k) == 0) continue;
        for (int i = 2; i <= t.K() - 1; ++i) {
            const std::size_t c = t.indice(k, i);
            if (t.na[c] == 0 && t.nb_ok[c] < minimum) {
                t.na[c] = 1;
                ++nb;
            }
        }
    }
    return nb;
}

std::optional<int> minimum_valides(std::string_view Edit_min_mesures_valides) {
    const std::string_view texte = rogner(Edit_min_mesures_valides);
    if (texte.empty()) return 0;
    const auto n = lire_entier(texte);
    if (!n || *n < 0) return std::nullopt;
    return *n;
}

void remplir_etapes_vides(TableEtapes& t) {
    const int N = t.N();
    const int K = t.K();
    // Which steps received lines before any was filled: a filled step is no neighbour.
    std::vector<unsigned char> recu(static_cast<std::size_t>(N) + 2, 0);
    for (int k = 1; k <= N; ++k) recu[static_cast<std::size_t>(k)] = t.nb_lignes_etape(k) != 0;
    for (int k = 2; k <= N - 1; ++k) {
        if (recu[static_cast<std::size_t>(k)]) continue;
        const bool avant = recu[static_cast<std::size_t>(k) - 1] != 0;
        const bool apres = recu[static_cast<std::size_t>(k) + 1] != 0;
        bool rempli = false;
        for (int i = 2; i <= K - 1; ++i) {
            const std::size_t c = t.indice(k, i);
            const std::size_t p = t.indice(k - 1, i);
            const std::size_t s = t.indice(k + 1, i);
            if (avant && apres && t.na[p] == 0 && t.na[s] == 0) {
                t.valeur[c] = t.valeur[p] + t.valeur[s];
                t.nb_ok[c] = t.nb_ok[p] + t.nb_ok[s];
                t.na[c] = 0;
                rempli = true;
            } else {
                // Another column may fill the step: this one must not then read as 0.
                t.na[c] = 1;
            }
        }
        if (rempli) t.nb_lignes_etape(k) = t.nb_lignes_etape(k - 1) + t.nb_lignes_etape(k + 1);
    }
}

void finir_etapes(TableEtapes& t, Methode methode, Progression& progression) {
    const int N = t.N();
    const int K = t.K();
    auto dernier = Horloge::now();
    for (int k = 1; k <= N; ++k) {
        if (k % rangs_par_controle == 0) passe_evenements(progression, dernier);
        if (t.nb_lignes_etape(k) == 0) continue;
        for (int i = 2; i <= K - 1; ++i) {
            const std::size_t c = t.indice(k, i);
            if (t.na[c] != 0) continue;
            if (methode == Methode::moyenne || methode == Methode::moyenne_vides) {
                t.valeur[c] /= t.nb_ok[c] == 0 ? 1 : t.nb_ok[c];
            } else if (methode == Methode::cumul && k > 1) {
                const std::size_t p = t.indice(k - 1, i);
                if (t.na[p] == 0) t.valeur[c] += t.valeur[p];
            }
        }
    }
}

void forcer_croissance(TableEtapes& t) {
    const int N = t.N();
    const int K = t.K();
    std::vector<long double> increment(static_cast<std::size_t>(N) + 1, 0.0L);
    std::vector<unsigned char> remise(static_cast<std::size_t>(N) + 1, 0);
    std::vector<long double> decalage(static_cast<std::size_t>(N) + 1, 0.0L);
    for (int i = 2; i <= K - 1; ++i) {
        // The increments compare the values as they were, before any is raised.
        long double precedente = 0;
        for (int k = 1; k <= N; ++k) {
            const std::size_t c = t.indice(k, i);
            long double& inc = increment[static_cast<std::size_t>(k)];
            if (t.na[c] != 0) {
                t.na[c] = 0;
                t.valeur[c] = 0;
                t.nb_ok[c] = 1;
                inc = 0;
            } else {
                inc = k == 1 || t.valeur[c] >= precedente ? t.valeur[c] : 0.0L;
            }
            precedente = t.valeur[c];
        }
        for (int k = 1; k <= N; ++k) {
            const auto u = static_cast<std::size_t>(k);
            remise[u] = increment[u] == 0 && increment[u - 1] > 0 ? 1 : 0;
            decalage[u] = k == 1      ? increment[u]
                          : remise[u] ? decalage[u - 1] + increment[u - 1]
                                      : decalage[u - 1];
            t.valeur[t.indice(k, i)] = increment[u] + decalage[u];
        }
    }
}

// Kept whole: the gap scan of a column shares its open gap and counters with its log lines.
int combler_lacunes(TableEtapes& t, std::string_view Edit_nmax_lacune, JournalSuivi& journal) {
    const int N = t.N();
    const int K = t.K();
    const int nmax = lire_entier(Edit_nmax_lacune).value_or(3);
    // Row 1 lies before the chosen start and is never written: the scan starts on row 2.
    constexpr int debut = 2;
    const std::string egal(74, '=');
    journal.ajouter_suivi("");
    journal.ajouter_suivi(egal);
    journal.ajouter_suivi("---> POST-traitement  sur " + std::to_string(N) +
                          fr(" lignes horodatées"));
    journal.ajouter_suivi(egal);
    journal.ajouter_suivi("   un maximum de " + std::to_string(nmax) +
                          fr(" données manquantes par lacune, ( NA ou vides ) sont comblées par "
                             "calcul"));
    int nb_interpolations = 0;
    for (int i = 2; i <= K - 1; ++i) {
        journal.ajouter_suivi("--> " + t.titres_colonnes[static_cast<std::size_t>(i)]);
        for (int k = debut; k <= N; ++k) {
            const std::size_t c = t.indice(k, i);
            if (t.nb_lignes_etape(k) == 0 || t.nb_ok[c] == 0) t.na[c] = 1;
        }
        const auto v = [&](int k) -> long double& { return t.valeur[t.indice(k, i)]; };
        const auto remplir = [&](int l, long double valeur, long double lignes) {
            const std::size_t c = t.indice(l, i);
            t.valeur[c] = valeur;
            t.na[c] = 0;
            t.nb_ok[c] = 1;
            t.nb_lignes_etape(l) = lignes;
            ++nb_interpolations;
        };
        bool premiere_lacune = true;
        int g = 0;  // start of the open gap, 0 when none
        for (int k = debut; k <= N; ++k) {
            const bool na = t.na[t.indice(k, i)] != 0;
            if (na) {
                if (g == 0) g = k;
                continue;
            }
            if (g == 0) continue;
            const int e = k;
            const std::string bornes =
                " données " + std::to_string(g - 1) + "-" + std::to_string(e);
            if (e - g > nmax) {
                journal.ajouter_probleme(ProblemeSuivi::regression_non_effectuee,
                                         fr("    ---> régression NON effectuée sur ") +
                                             std::to_string(e - g) + fr(bornes));
            } else {
                const bool recopie = premiere_lacune && g == debut;
                const long double avant = v(g - 1);
                const long double apres = v(e);
                for (int l = g; l < e; ++l)
                    remplir(l,
                            recopie ? apres : avant + (l - g + 1) * (apres - avant) / (e - g + 1),
                            2);
                journal.ajouter_suivi(fr("    régression effectuée sur ") + std::to_string(e - g) +
                                      fr(bornes));
            }
            premiere_lacune = false;
            g = 0;
        }
        // A gap open to the end keeps the last value; with no value at all there is
        // nothing to keep, and row 1 holds no measurement of the period.
        if (g > debut)
            for (int l = g; l <= N; ++l) remplir(l, v(g - 1), 1);
    }
    journal.ajouter_suivi("");
    journal.ajouter_suivi("  " + std::to_string(nb_interpolations) +
                          fr(" interpolations effectuées"));
    journal.ajouter_suivi(egal);
    return nb_interpolations;
}

void calculer_differences(TableEtapes& t, bool derivee, double pas_jours, JournalSuivi& journal) {
    journal.ajouter_suivi(derivee ? fr("  calcul des dérivées (rétro cumul) [y(i) - y(i-1)] / pas")
                                  : fr("  calcul des delta Y (rétro cumul)  y(i) - y(i-1)"));
    journal.ajouter_suivi("");
    const int N = t.N();
    const int K = t.K();
    for (int i = 2; i <= K - 1; ++i) {
        long double precedente = 0;
        for (int k = 1; k <= N; ++k) {
            const std::size_t c = t.indice(k, i);
            const long double y = t.valeur[c];
            if (k <= 2) {
                t.valeur[c] = 0;
                t.na[c] = 0;
            } else {
                t.valeur[c] = derivee ? (y - precedente) / pas_jours : y - precedente;
            }
            precedente = y;
        }
    }
}

void agreger(TableEtapes& t, const Description& d, double pas_jours, JournalSuivi& journal,
             Progression& progression) {
    const Methode methode = d.RadioGroup_methode_ItemIndex;
    // Before the fill of empty steps and the running totals: a step short of values
    // neither feeds its neighbours nor adds to a total.
    if (const int minimum = minimum_valides(d.Edit_min_mesures_valides).value_or(0); minimum > 0) {
        const long long nb = exiger_minimum_valides(t, minimum);
        journal.ajouter_suivi("   minimum de " + std::to_string(minimum) +
                              fr(" mesures valides par pas : ") + std::to_string(nb) +
                              fr(" valeurs mises à NA"));
    }
    if (methode == Methode::moyenne_vides) remplir_etapes_vides(t);
    finir_etapes(t, methode, progression);
    if (d.CheckBox_cumul_corriger) forcer_croissance(t);
    if (d.CheckBox_post_traitement) combler_lacunes(t, d.Edit_nmax_lacune, journal);
    // The window lets only one of the two be ticked; a description that holds both
    // keeps the differences.
    if (d.CheckBox_delta_Y || d.CheckBox_derivees)
        calculer_differences(t, !d.CheckBox_delta_Y, pas_jours, journal);
}

}  // namespace tarvo
