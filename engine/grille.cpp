#include "engine/grille.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

#include "description/cles_description.h"
#include "description/description.h"
#include "engine/messages.h"
#include "engine/table_etapes.h"
#include "formats/cp1252.h"
#include "formats/date_canonique.h"
#include "formats/journal_suivi.h"
#include "formats/nombres.h"
#include "formats/texte.h"
#include "plateforme/dialogue.h"
#include "plateforme/progression.h"

namespace tarvo {

namespace {

namespace ch = std::chrono;

constexpr ch::sys_days origine = ch::year{1899} / 12 / 30;
constexpr long long limite_lignes = 32000;

// Progress and the event pass every this many rows, or sooner once 100 ms have passed.
constexpr long long lignes_par_passe = 2000;
constexpr long long lignes_par_essai = 100;

long long division_basse(long long a, long long b) {
    const long long q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

long long vers_secondes(double date) {
    return std::llround(date * jour_en_secondes);
}

// Summed as the canonical text is parsed (day + time of day), so that a grid timestamp
// and a measurement read from the same text compare equal at a step boundary.
double vers_date(long long secondes) {
    const long long jours = division_basse(secondes, secondes_par_jour);
    return static_cast<double>(jours) +
           static_cast<double>(secondes - jours * secondes_par_jour) / jour_en_secondes;
}

// A date and time of day, the form the calendar checks and corrections work on.
struct Moment {
    ch::year_month_day jour;
    long long seconde = 0;  // of the day
};

Moment vers_moment(long long secondes) {
    const long long jours = division_basse(secondes, secondes_par_jour);
    return {ch::year_month_day{origine + ch::days{jours}}, secondes - jours * secondes_par_jour};
}

long long secondes_de(const Moment& m) {
    return (ch::sys_days{m.jour} - origine).count() * secondes_par_jour + m.seconde;
}

// The chosen day of the month, or the last day of a month that lacks it.
ch::year_month_day jour_borne(ch::year_month mois, unsigned jour) {
    const ch::day dernier =
        ch::year_month_day_last{mois.year(), ch::month_day_last{mois.month()}}.day();
    return {mois.year(), mois.month(), std::min(ch::day{jour}, dernier)};
}

// The time of day of a count of seconds.
std::string heure_texte(long long secondes) {
    return hh_mm_ss(((secondes % secondes_par_jour) + secondes_par_jour) % secondes_par_jour);
}

// The unit and the count as the window's controls can hold them: a settings file may
// carry anything, and a count out of 1..400 would overflow the calendar arithmetic.
int unite_de(const ParametresGrille& p) {
    return p.unite_pas >= unite_jour && p.unite_pas <= unite_annee ? p.unite_pas : unite_hms;
}

int nombre_unites(const ParametresGrille& p) {
    return std::clamp(p.SpinEdit_pas_jour_mois_annee, 1, 400);
}

// The step in whole seconds: the grid texts have no finer resolution, and a time picker
// gives nothing finer.
long long pas_secondes(const ParametresGrille& p) {
    return vers_secondes(pas_jours(p));
}

// How messages and the log write the step: a time for unit 0, a count of calendar units
// otherwise (as a time, one day would read 00:00:00).
std::string pas_texte(const ParametresGrille& p) {
    const int unite = unite_de(p);
    if (unite == unite_hms) return heure_texte(pas_secondes(p));
    const int n = nombre_unites(p);
    const std::string nombre = std::to_string(n);
    if (unite == unite_jour) return nombre + (n > 1 ? " jours" : " jour");
    if (unite == unite_mois) return nombre + " mois";
    return nombre + fr(n > 1 ? " années" : " année");
}

std::string texte_jours(long long jours) {
    return std::to_string(jours) + (jours > 1 ? " jours" : " jour");
}

std::string suffixe_jours(long long jours) {
    if (jours <= 0) return {};
    return " => " + texte_jours(jours);
}

// Row k of the grid, in seconds. Row 0 is one step before the chosen start; rows 1… are
// what the result holds. Months and years keep the start's day, or the last day of a month
// that lacks it, at midnight.
long long rang_en_secondes(const ParametresGrille& p, long long deb, long long pas, long long k) {
    const int unite = unite_de(p);
    if (unite != unite_mois && unite != unite_annee) return deb + (k - 1) * pas;
    const Moment debut = vers_moment(deb);
    const unsigned jour = static_cast<unsigned>(debut.jour.day());
    const long long n = nombre_unites(p) * (k - 1);
    const ch::year_month premier{debut.jour.year(), debut.jour.month()};
    const ch::year_month mois =
        unite == unite_mois ? premier + ch::months{n}
                            : ch::year_month{premier.year() + ch::years{n}, premier.month()};
    return secondes_de({jour_borne(mois, jour), 0});
}

// What the result holds for a period: its rows, start to end inclusive, and the whole days
// from its first row to its last. The rows are negative when the end is before the start.
struct Etendue {
    long long lignes = 0;
    long long jours = 0;
};

Etendue etendue(const ParametresGrille& p, long long deb, long long fin, long long pas) {
    if (fin < deb) return {-division_basse(deb - fin, pas), 0};
    long long n = 0;
    if (unite_de(p) == unite_mois || unite_de(p) == unite_annee)
        while (rang_en_secondes(p, deb, pas, n + 1) <= fin) ++n;
    else
        n = (fin - deb) / pas + 1;
    if (n == 0) return {};
    return {n, (rang_en_secondes(p, deb, pas, n) - rang_en_secondes(p, deb, pas, 1)) /
                   secondes_par_jour};
}

ResumeGrille resume(const Etendue& e) {
    return {format_entier_groupe(e.lignes) + suffixe_jours(e.jours),
            e.lignes < 0 ? CouleurResume::rouge : CouleurResume::bleu};
}

long long lire_secondes(const std::string& label, JournalSuivi& journal) {
    std::string canonique;
    return vers_secondes(texte_vers_date_heure(label, canonique, journal));
}

std::string texte_secondes(long long secondes) {
    return texte_grille(vers_date(secondes));
}

std::string titre_progression() {
    return fr("2- liste horodatée ... ");
}

int choix_trois_boutons(Dialogue& dialogue, IdMessage id, const std::string& texte) {
    return dialogue.message_perso(id, texte, TypeMessage::avertissement, "Corriger", "Continuer",
                                  "Annuler");
}

constexpr int corriger = 1;
constexpr int continuer = 2;

// Step 3 of the build for the calendar units: false when the user cancels.
bool verifier_calendrier(ParametresGrille& p, Dialogue& dialogue, JournalSuivi& journal,
                         bool& modifies) {
    if (p.test_strict == 0) {
        const Reponse r =
            dialogue.question(IdMessage::test_strict_propose, texte_test_strict_propose(),
                              TypeMessage::avertissement, Boutons::oui_non);
        if (r == Reponse::oui) {
            p.test_strict = 1;
            modifies = true;
        }
    }
    Moment deb = vers_moment(lire_secondes(p.Label_temps_deb, journal));
    Moment fin = vers_moment(lire_secondes(p.Label_temps_fin, journal));
    const auto texte = [](const Moment& m) { return texte_secondes(secondes_de(m)); };
    const auto ecrire = [&] {
        p.Label_temps_deb = texte(deb);
        p.Label_temps_fin = texte(fin);
        modifies = true;
    };
    const auto heures_a_zero = [&] {
        deb.seconde = fin.seconde = 0;
        ecrire();
    };

    if (unite_de(p) == unite_jour && (deb.seconde != 0 || fin.seconde != 0)) {
        const std::string d = texte(deb), f = texte(fin);
        std::string liste;
        if (deb.seconde != 0) liste = d.substr(11) + " -> 00:00:00";
        if (fin.seconde != 0)
            liste += (deb.seconde != 0 ? "  et  \n" : "    ") + f.substr(11) + " -> 00:00:00";
        const int choix = choix_trois_boutons(
            dialogue, IdMessage::par_jour_heures_non_nulles,
            "--- PAR JOUR ------------\n\n" + d.substr(0, 10) + "  " + d.substr(11) + "\n" +
                f.substr(0, 10) + "  " + f.substr(11) + "\n\n" +
                fr(" les heures des dates de début ou de fin ne sont pas à zéro =>  "
                   "00:00:00    \n\n") +
                liste + "\n\n");
        if (choix == corriger)
            heures_a_zero();
        else if (choix != continuer)
            return false;
    }

    if (unite_de(p) == unite_mois) {
        const bool deb_1 = deb.jour.day() == ch::day{1}, fin_1 = fin.jour.day() == ch::day{1};
        if (!deb_1 || !fin_1) {
            std::string liste;
            if (!deb_1) liste = texte(deb).substr(0, 10);
            if (!fin_1) liste += (!deb_1 ? "  et  " : "    ") + texte(fin).substr(0, 10);
            const int choix = choix_trois_boutons(
                dialogue, IdMessage::par_mois_jours_non_premiers,
                fr("--- PAR MOIS ------------\n\n   les dates de début et de fin ne "
                   "sont pas du type  01/mm/aaaa\n\n") +
                    liste + "\n\n");
            if (choix == corriger) {
                deb.jour = deb.jour.year() / deb.jour.month() / 1;
                fin.jour = fin.jour.year() / fin.jour.month() / 1;
                // Both on the same first day would leave no step between them.
                if (fin.jour == deb.jour)
                    fin.jour =
                        (ch::year_month{fin.jour.year(), fin.jour.month()} + ch::months{1}) / 1;
                ecrire();
            } else if (choix != continuer) {
                return false;
            }
        }
        if (deb.seconde != 0 || fin.seconde != 0) {
            const int choix = choix_trois_boutons(
                dialogue, IdMessage::par_mois_heures_non_nulles,
                "--- PAR MOIS ------------\n\n" + texte(deb) + "\n" + texte(fin) + "\n\n" +
                    fr(" les heures des dates de début et de fin ne sont pas à zéro "
                       "00:00:00\n\n"));
            if (choix == corriger)
                heures_a_zero();
            else if (choix != continuer)
                return false;
        }
    }

    if (unite_de(p) == unite_annee) {
        const auto premier_janvier = [](const Moment& m) {
            return m.jour.month() == ch::January && m.jour.day() == ch::day{1};
        };
        if (!premier_janvier(deb) || !premier_janvier(fin)) {
            const int choix = choix_trois_boutons(
                dialogue, IdMessage::par_annee_dates_non_premier_janvier,
                fr("--- PAR ANNEE ------------\n\n   les dates de début et de fin ne "
                   "sont pas du type   01/01/aaaa\n\n   ") +
                    texte(deb) + "\n" + "   " + texte(fin) + "\n\n");
            if (choix == corriger) {
                deb = {deb.jour.year() / ch::January / 1, 0};
                fin = {fin.jour.year() / ch::January / 1, 0};
                if (fin.jour.year() == deb.jour.year())
                    fin.jour = (fin.jour.year() + ch::years{1}) / ch::January / 1;
                ecrire();
            } else if (choix != continuer) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

double pas_jours(const ParametresGrille& p) {
    const double n = nombre_unites(p);
    switch (unite_de(p)) {
        case unite_jour:
            return n;
        case unite_mois:
            return n * 30;
        case unite_annee:
            return n * 365;
        default:
            return std::fabs(p.TimePicker_pas);
    }
}

// A period date the grid cannot be built from: a typo would otherwise read as day 0
// (30/12/1899) and build a grid of more than a century.
bool periode_lisible(const ParametresGrille& p, Dialogue& dialogue, JournalSuivi& journal) {
    const std::pair<const char*, const std::string*> dates[] = {{"début", &p.Label_temps_deb},
                                                                {"fin", &p.Label_temps_fin}};
    for (const auto& [nom, texte] : dates) {
        std::string canonique;
        texte_vers_date_heure(*texte, canonique, journal);
        if (!canonique.empty() && canonique.size() > 8) continue;
        dialogue.message(
            IdMessage::periode_illisible,
            fr(std::string(" la date de ") + nom + " de la période n'est pas lisible\n\n   <") +
                *texte +
                fr(">\n\n   attendu : jj/mm/aaaa hh:mn:ss\n\n"
                   "   corriger cette valeur ..."),
            TypeMessage::erreur);
        return false;
    }
    return true;
}

// Refused before anything is allocated, on the least a run of this grid holds (its texts,
// a step table and result lines without a data column): the columns are not known yet.
bool taille_acceptable(const Etendue& e, Dialogue& dialogue) {
    const unsigned long long octets = memoire_des_rangs(e.lignes + 1, 2, 0);
    if (octets <= memoire_max_rangs) return true;
    dialogue.message(IdMessage::grille_trop_grande, texte_grille_trop_grande(e.lignes, octets),
                     TypeMessage::erreur);
    return false;
}

ResumeGrille resume_grille(const ParametresGrille& p, JournalSuivi& journal) {
    const long long pas = pas_secondes(p);
    const long long deb = lire_secondes(p.Label_temps_deb, journal);
    const long long fin = lire_secondes(p.Label_temps_fin, journal);
    if (pas == 0 || fin == deb) return {"---", CouleurResume::inchangee};
    return resume(etendue(p, deb, fin, pas));
}

Grille creer_liste_horodatee(ParametresGrille& p, Dialogue& dialogue, Progression& progression,
                             JournalSuivi& journal) {
    Grille refus;
    const long long pas = pas_secondes(p);
    if (pas == 0) {
        dialogue.message(IdMessage::pas_nul,
                         fr(" le pas est à zéro\n\n   <") + pas_texte(p) + ">  \n\n" +
                             "   corriger cette valeur et relancer ...",
                         TypeMessage::erreur);
        return refus;
    }
    if (!periode_lisible(p, dialogue, journal)) return refus;
    const long long deb = lire_secondes(p.Label_temps_deb, journal);
    const long long fin = lire_secondes(p.Label_temps_fin, journal);
    if (fin <= deb) {
        dialogue.message(IdMessage::fin_avant_debut,
                         fr(" la date de fin est antérieure à la date de début\n\n  début ") +
                             p.Label_temps_deb + "  \n\n" + "  fin   " + p.Label_temps_fin +
                             "  \n\n" + "   corriger cette valeur ...",
                         TypeMessage::erreur);
        return refus;
    }
    const Etendue e = etendue(p, deb, fin, pas);
    if (!taille_acceptable(e, dialogue)) return refus;
    const Reponse r = dialogue.question(
        IdMessage::creer_liste_horodatee,
        fr(" Créer une nouvelle liste de dates régulières ? \n\n\n du ") + p.Label_temps_deb +
            "\n\n" + " au " + p.Label_temps_fin + "\n\n" + " au pas de " + pas_texte(p) + "\n\n" +
            " => " + std::to_string(e.lignes) + " dates" + suffixe_jours(e.jours) + "\n\n",
        TypeMessage::confirmation, Boutons::oui_non_annuler);
    if (r != Reponse::oui) {
        refus.etat = EtatGrille::annulee;
        return refus;
    }
    // The count is shown as soon as the user agrees; a build that ends without a grid
    // leaves it there.
    Grille g = construire_grille(p, dialogue, progression, journal);
    if (g.etat == EtatGrille::annulee || g.etat == EtatGrille::refusee)
        g.resume = {format_entier_groupe(e.lignes), CouleurResume::inchangee};
    return g;
}

Grille construire_grille(ParametresGrille& p, Dialogue& dialogue, Progression& progression,
                         JournalSuivi& journal, bool fenetre_en_creation) {
    Grille g;
    g.liste_effacee = true;
    progression.afficher_progression(titre_progression() + " 0%  ",
                                     Progression::chronometre_grille);
    journal.ajouter_suivi("");
    journal.ajouter_suivi(fr("       --> liste horodatée"));

    const long long pas = pas_secondes(p);
    if (pas == 0) {
        dialogue.message(IdMessage::pas_nul_liste_horodatee, texte_pas_nul_liste_horodatee(),
                         TypeMessage::erreur);
        return g;
    }
    if (!periode_lisible(p, dialogue, journal)) return g;
    if (unite_de(p) != unite_hms &&
        !verifier_calendrier(p, dialogue, journal, g.parametres_modifies)) {
        g.etat = EtatGrille::annulee;
        return g;
    }
    const long long deb = lire_secondes(p.Label_temps_deb, journal);
    const long long fin = lire_secondes(p.Label_temps_fin, journal);
    // Button 2 refuses this before asking; the run comes here directly and would
    // otherwise process its files into an empty grid.
    if (fin < deb) {
        dialogue.message(IdMessage::fin_avant_debut,
                         fr(" la date de fin est antérieure à la date de début\n\n  début ") +
                             p.Label_temps_deb + "  \n\n" + "  fin   " + p.Label_temps_fin +
                             "  \n\n" + "   corriger cette valeur ...",
                         TypeMessage::erreur);
        return g;
    }

    g.debut_grille = vers_date(rang_en_secondes(p, deb, pas, 0));
    g.fin_grille = vers_date(fin);
    const Etendue e = etendue(p, deb, fin, pas);
    if (!taille_acceptable(e, dialogue)) return g;
    const long long attendu = e.lignes + 1;  // with the row before the start
    if (e.lignes > limite_lignes &&
        dialogue.question(IdMessage::grille_plus_de_32000_lignes,
                          texte_grille_plus_de_32000_lignes(), TypeMessage::information,
                          Boutons::oui_non) != Reponse::oui) {
        g.etat = EtatGrille::annulee;
        return g;
    }
    if (!fenetre_en_creation) {
        journal.ajouter_suivi("");
        journal.ajouter_suivi("de " + p.Label_temps_deb);
        journal.ajouter_suivi(fr("à  ") + p.Label_temps_fin + "  " + texte_jours(e.jours));
        journal.ajouter_suivi("nb dates = " + std::to_string(e.lignes));
        journal.ajouter_suivi("pas = " + pas_texte(p));
    }

    g.items.reserve(static_cast<std::size_t>(std::min(attendu, limite_lignes) + 2));
    g.dates.reserve(g.items.capacity());
    g.items.push_back(fr("_intitulés des colonnes"));
    g.etat = EtatGrille::construite;
    const auto pourcent = [&](long long faites) {
        return std::to_string(attendu > 0 ? std::min(100LL, faites * 100 / attendu) : 100LL) +
               "%   ";
    };
    auto derniere_passe = ch::steady_clock::now();
    for (long long k = 0;; ++k) {
        const long long s = rang_en_secondes(p, deb, pas, k);
        if (s > fin) break;
        g.dates.push_back(vers_date(s));
        g.items.push_back(texte_grille(g.dates.back()));
        const long long faites = k + 1;
        if (faites % lignes_par_essai != 0) continue;
        const auto maintenant = ch::steady_clock::now();
        if (faites % lignes_par_passe != 0 && maintenant - derniere_passe < ch::milliseconds{100})
            continue;
        derniere_passe = maintenant;
        if (unite_de(p) == unite_jour)
            progression.afficher_progression("2- liste ... " + pourcent(faites),
                                             Progression::chronometre_grille);
        progression.afficher_progression(titre_progression() + pourcent(faites),
                                         Progression::chronometre_grille);
        progression.traiter_evenements();
        if (progression.arret_demande()) {
            g.etat = EtatGrille::arretee;
            break;
        }
    }

    g.nb_lignes_grille = static_cast<long long>(g.dates.size());
    g.date_suivante = vers_date(rang_en_secondes(p, deb, pas, g.nb_lignes_grille));
    progression.afficher_progression(titre_progression() + "100%   ",
                                     Progression::chronometre_grille);
    // The rows the result holds, without the one before the start; a stopped build counts
    // what it made. Unlike the summary, the built grid always states its days, even none.
    const long long ecrites = std::max(0LL, g.nb_lignes_grille - 1);
    const long long jours =
        ecrites > 0
            ? (vers_secondes(g.dates.back()) - vers_secondes(g.dates[1])) / secondes_par_jour
            : 0;
    g.resume = {format_entier_groupe(ecrites) + " => " + texte_jours(jours), CouleurResume::bleu};
    g.Label_nr_final = std::to_string(ecrites);
    return g;
}

std::string jour_semaine(double date) {
    static constexpr std::array<const char*, 7> noms = {"dimanche", "lundi",    "mardi", "mercredi",
                                                        "jeudi",    "vendredi", "samedi"};
    if (!(std::fabs(date) < 3e6)) return {};  // no calendar date, as for its text
    const ch::weekday jour{origine + ch::days{static_cast<long long>(std::floor(date))}};
    return noms[jour.c_encoding()];
}

std::string question_mise_a_zero(int quoi, double heure) {
    static constexpr std::array<const char*, 3> titres = {
        "=== heure début ===\n\n  ", "=== heure de fin ===\n\n  ", "=== heure du pas ===\n\n  "};
    const std::size_t i = quoi == 1 ? 1 : quoi == 2 ? 2 : 0;
    return fr(titres[i]) + heure_texte(vers_secondes(heure)) + "\n\n" + fr(" mettre à\n\n") +
           (i == 2 ? "  00:00:00 ?" : "  00:00:00   ?");
}

std::string texte_unite_pas(int unite) {
    switch (unite) {
        case unite_jour:
            return "jour";
        case unite_mois:
            return "mois";
        case unite_annee:
            return fr("année");
        default:
            return {};
    }
}

std::optional<UnitePas> lire_unite_pas_dsc(std::string_view texte) {
    texte = rogner(texte);
    if (texte.empty()) return UnitePas{};
    const auto blanc = texte.find(' ');
    if (blanc == std::string_view::npos) return std::nullopt;
    const auto nombre = lire_entier(texte.substr(0, blanc));
    const std::string_view mot = rogner(texte.substr(blanc));
    // The count control of the window goes from 1 to 400.
    if (!nombre || *nombre < 1 || *nombre > 400) return std::nullopt;
    for (const int unite : {unite_jour, unite_mois, unite_annee})
        if (mot == texte_unite_pas(unite)) return UnitePas{unite, *nombre};
    return std::nullopt;
}

std::optional<ParametresGrille> periode_de_description(const Description& d) {
    JournalSuivi ignore;
    std::string canonique;
    const double debut = texte_vers_date_heure(d.Label_min_dsc, canonique, ignore);
    const double fin = texte_vers_date_heure(d.Label_max_dsc, canonique, ignore);
    const auto unite = lire_unite_pas_dsc(d.unite_pas_dsc);
    ParametresGrille p;
    p.TimePicker_pas = lire_heure(d.Label_pas_dsc, ignore);
    if (debut <= 0 || fin <= debut || !unite ||
        (unite->unite == unite_hms && p.TimePicker_pas <= 0))
        return std::nullopt;
    p.Label_temps_deb = d.Label_min_dsc;
    p.Label_temps_fin = d.Label_max_dsc;
    p.unite_pas = unite->unite;
    p.SpinEdit_pas_jour_mois_annee = unite->nombre;
    p.test_strict = d.test_strict_dsc == 1 ? 1 : 0;
    return p;
}

bool memoriser_periode(const ParametresGrille& p, Description& d) {
    const bool calendrier =
        p.unite_pas == unite_jour || p.unite_pas == unite_mois || p.unite_pas == unite_annee;
    const std::string unite = calendrier ? std::to_string(p.SpinEdit_pas_jour_mois_annee) + " " +
                                               texte_unite_pas(p.unite_pas)
                                         : std::string();
    const std::string pas = ecrire_heure(p.TimePicker_pas);
    const int test = p.test_strict == 1 ? 1 : 0;
    if (d.Label_min_dsc == p.Label_temps_deb && d.Label_max_dsc == p.Label_temps_fin &&
        d.Label_pas_dsc == pas && d.unite_pas_dsc == unite && d.test_strict_dsc == test)
        return false;
    d.Label_min_dsc = p.Label_temps_deb;
    d.Label_max_dsc = p.Label_temps_fin;
    d.Label_pas_dsc = pas;
    d.unite_pas_dsc = unite;
    d.test_strict_dsc = test;
    return true;
}

std::string texte_grille(double date) {
    std::string t = date_heure_vers_texte(date);
    if (t.size() == 10) t += " 00:00:00";
    return t;
}

}  // namespace tarvo
