#include "inventory/edition_table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "formats/codes_nom_fichier.h"
#include "formats/cp1252.h"
#include "formats/date_canonique.h"
#include "formats/journal_suivi.h"
#include "formats/nombres.h"
#include "formats/texte.h"
#include "inventory/listing.h"
#include "inventory/messages.h"
#include "inventory/table_fichiers.h"
#include "plateforme/dialogue.h"
#include "plateforme/progression.h"

namespace tarvo {

namespace {

bool oui(Dialogue& dialogue, IdMessage id, std::string_view texte) {
    return dialogue.question(id, texte, TypeMessage::confirmation, Boutons::oui_non) ==
           Reponse::oui;
}

// The data rows (1-based) the predicate names leave the table; the others keep their order.
template <class Predicat>
void supprimer_si(TableFichiers& table, Predicat&& a_supprimer) {
    std::vector<TableFichiers::Ligne> gardees;
    for (int i = 1; i < table.nb_lignes(); ++i)
        if (!a_supprimer(i)) gardees.push_back(table.ligne(i));
    table.vider();
    for (const TableFichiers::Ligne& l : gardees) {
        const int r = table.ajouter_ligne();
        for (int c = 0; c < nb_colonnes_table; ++c)
            table.ecrire_cellule(r, static_cast<Colonne>(c), l[static_cast<std::size_t>(c)]);
    }
}

void supprimer_lignes(TableFichiers& table, int de, int a) {
    supprimer_si(table, [&](int i) { return i >= de && i <= a; });
}

// The day of a "jj/mm/aaaa ..." text; nothing when it holds no date.
std::optional<double> jour_du_texte(std::string_view texte, JournalSuivi& journal) {
    std::string canonique;
    const double t = texte_vers_date_heure(texte, canonique, journal);
    if (t <= 0) return std::nullopt;
    return std::floor(t);
}

// A name date "aaaa/mm/jj" as the listing writes it; nothing for any other text.
std::optional<double> date_nom(std::string_view texte) {
    if (nb_car('/', texte) != 2) return std::nullopt;
    const std::optional<int> annee = lire_entier(champ_vue(texte, 1, '/'));
    const std::optional<int> mois = lire_entier(champ_vue(texte, 2, '/'));
    const std::optional<int> jour = lire_entier(champ_vue(texte, 3, '/'));
    if (!annee || !mois || !jour) return std::nullopt;
    return date_civile(*annee, *mois, *jour);
}

long long secondes(double jours) {
    return std::llround(jours * jour_en_secondes);
}

}  // namespace

bool effacer_selection(TableFichiers& table, int premiere, int derniere, Dialogue& dialogue) {
    if (table.nb_fichiers() < 1 || premiere < 1 || derniere < premiere) return false;
    const std::string texte =
        premiere == derniere
            ? fr("effacer la lignes sélectionnée  L") + std::to_string(premiere) + "  ?\n"
            : fr("effacer toutes les lignes sélectionnées ?\n  de la ligne ") +
                  std::to_string(premiere) + fr("  à la ligne ") + std::to_string(derniere);
    if (!oui(dialogue, IdMessage::effacer_lignes_selectionnees, texte)) return false;
    supprimer_lignes(table, premiere, derniere);
    return true;
}

bool effacer_vers_le_haut(TableFichiers& table, int courante, Dialogue& dialogue) {
    if (table.nb_fichiers() < 1 || courante < 1) return false;
    if (!oui(dialogue, IdMessage::effacer_lignes_vers_le_haut, texte_effacer_lignes_vers_le_haut()))
        return false;
    // A table keeps one data row: from the last row, that row itself stays.
    supprimer_lignes(table, 1, std::min(courante, table.nb_fichiers() - 1));
    return true;
}

bool effacer_vers_le_bas(TableFichiers& table, int courante, Dialogue& dialogue) {
    if (table.nb_fichiers() < 1 || courante < 1) return false;
    if (!oui(dialogue, IdMessage::effacer_lignes_vers_le_bas, texte_effacer_lignes_vers_le_bas()))
        return false;
    supprimer_lignes(table, courante, table.nb_fichiers());
    return true;
}

bool effacer_hors_periode(TableFichiers& table, std::string_view debut, std::string_view fin,
                          bool sans_confirmation, Dialogue& dialogue) {
    if (table.nb_fichiers() < 1) return false;
    JournalSuivi ignore;
    const std::optional<double> jour_debut = jour_du_texte(debut, ignore);
    const std::optional<double> jour_fin = jour_du_texte(fin, ignore);
    if (!sans_confirmation &&
        !oui(dialogue, IdMessage::effacer_lignes_hors_periode, texte_effacer_lignes_hors_periode()))
        return false;
    // A period without dates says nothing about which files to drop.
    if (!jour_debut || !jour_fin) return false;
    const int avant = table.nb_fichiers();
    supprimer_si(table, [&](int i) {
        const std::optional<double> d = date_nom(table.lire_cellule(i, Colonne::date_nom_fichier));
        return d && (*d < *jour_debut || *d > *jour_fin);
    });
    return table.nb_fichiers() < avant;
}

void recompter_tableau(TableFichiers& table, const Description& description, EtatInventaire& etat,
                       JournalSuivi& journal, Progression& progression) {
    AffichageListage& a = etat.affichage;
    a.Label_nb_fic = std::to_string(table.nb_fichiers()) + "  fichiers";
    if (table.nb_fichiers() <= 1) return;
    const bool avec_dates = !rogner(description.Edit_f_date_fichier).empty();
    const double ce_jour = aujourdhui();
    double nom_min = *date_civile(2100, 1, 1);
    double nom_max = *date_civile(1900, 1, 1);
    long long total_ko = 0;
    const std::string sur = " / " + std::to_string(table.nb_lignes());
    for (int i = 1; i < table.nb_lignes(); ++i) {
        progression.afficher_progression("3- patienter ... " + std::to_string(i) + sur,
                                         Progression::chronometre_liste);
        total_ko += std::llround(lire_reel(table.lire_cellule(i, Colonne::taille)) * 1000.0);
        if (!avec_dates) continue;
        const DateNomFichier date =
            lire_date_nom_fichier(table.lire_cellule(i, Colonne::fichier),
                                  description.Edit_f_date_fichier, journal, ce_jour);
        if (!date.texte.empty()) {
            nom_min = std::min(nom_min, date.date);
            nom_max = std::max(nom_max, date.date);
        }
        table.ecrire_cellule(i, Colonne::date_nom_fichier, date.texte);
    }
    etat.taille_totale_ko = total_ko;
    a.taille_totale =
        "taille totale " + format_0_00(static_cast<double>(total_ko) / 1000.0) + " Mo";
    a.Label_date_min = date_heure_vers_texte(nom_min);
    a.Label_date_max = date_heure_vers_texte(nom_max);
    a.Label_date_min_rouge = !(nom_min < nom_max);
    a.Label_date_max_rouge = !(nom_max > nom_min);
}

void basculer_marque(TableFichiers& table, int ligne, EtatInventaire& etat) {
    if (ligne < 1 || ligne >= table.nb_lignes()) return;
    table.marquer(ligne, table.lire_cellule(ligne, Colonne::marque).empty());
    etat.ListBox_fic_coche = memoriser_marques(table);
}

std::string titre_panneau_coche() {
    return fr("Sélection par station  (coche x)  ");
}

std::array<std::string, 5> legendes_choix_station(std::string_view station) {
    const std::string s(station);
    return {"ne cocher que les <" + s + ">", "cocher les <" + s + "> en plus",
            fr("décocher toutes les lignes"), fr("décocher juste les  <") + s + ">",
            "cocher toutes les lignes "};
}

std::string appliquer_choix_station(TableFichiers& table, ChoixStation choix,
                                    std::string_view station, std::string_view titre_actuel,
                                    EtatInventaire& etat) {
    for (int i = 1; i < table.nb_lignes(); ++i) {
        const bool de_la_station = table.lire_cellule(i, Colonne::station) == station;
        switch (choix) {
            case ChoixStation::ne_cocher_que:
                table.marquer(i, de_la_station);
                break;
            case ChoixStation::cocher_en_plus:
                if (de_la_station) table.marquer(i, true);
                break;
            case ChoixStation::decocher_tout:
                table.marquer(i, false);
                break;
            case ChoixStation::decocher_station:
                if (de_la_station) table.marquer(i, false);
                break;
            case ChoixStation::cocher_tout:
                table.marquer(i, true);
                break;
        }
    }
    etat.ListBox_fic_coche = memoriser_marques(table);
    switch (choix) {
        case ChoixStation::ne_cocher_que:
            return "Station " + std::string(station);
        case ChoixStation::cocher_en_plus:
            return std::string(titre_actuel) + "+" + std::string(station);
        default:
            return "Graphiques";
    }
}

void trier_par_colonne(TableFichiers& table, int colonne, bool& croissant) {
    if (table.nb_fichiers() < 1 || colonne < 0 || colonne >= nb_colonnes_table) return;
    const bool sens = colonne == colonne_marque ? !croissant : croissant;
    table.trier_tableau(colonne, genre_tri_colonne(table, colonne), sens);
    croissant = !croissant;
}

double arrondir_au_pas_inferieur(double date, double pas) {
    const long long p = secondes(pas);
    if (p <= 0) return date;
    const long long s = secondes(date);
    const long long q = s >= 0 ? s / p : -((-s + p - 1) / p);
    return static_cast<double>(q * p) / jour_en_secondes;
}

double arrondir_au_pas_proche(double date, double pas) {
    const long long p = secondes(pas);
    if (p <= 0) return date;
    // Half a step added, then rounded down: a time halfway goes up.
    return arrondir_au_pas_inferieur(
        static_cast<double>(2 * secondes(date) + p) / 2.0 / jour_en_secondes, pas);
}

std::optional<CopieDate> copier_date_label(SourceDate source, std::string_view texte, double pas,
                                           Dialogue& dialogue, JournalSuivi& journal) {
    using Cible = CopieDate::Cible;
    // A step such as "01:00:00" holds six digits: the eight-digit floor of the dates would
    // make it impossible to copy, so a step only has to hold a time.
    if (source == SourceDate::Label_pas_dsc ? !contient_heure(texte)
                                            : nb_car_numeriques(texte) <= 7)
        return std::nullopt;
    const std::string t(texte);
    const auto simple = [&](Cible cible, IdMessage id,
                            std::string_view question) -> std::optional<CopieDate> {
        if (!oui(dialogue, id, fr(question) + t)) return std::nullopt;
        return CopieDate{cible, t, 0};
    };
    const auto arrondie = [&](Cible cible, IdMessage id, std::string_view question,
                              double (*arrondir)(double, double)) -> std::optional<CopieDate> {
        std::string canonique;
        const double date = texte_vers_date_heure(texte, canonique, journal);
        const std::string r = date_heure_vers_texte(arrondir(date, pas));
        const Reponse reponse =
            dialogue.question(id, fr(question) + r + "\n\n" + "(non) " + t + "\n\n",
                              TypeMessage::confirmation, Boutons::oui_non_annuler);
        if (reponse == Reponse::oui) return CopieDate{cible, r, 0};
        if (reponse == Reponse::non) return CopieDate{cible, t, 0};
        return std::nullopt;
    };
    switch (source) {
        case SourceDate::Label_date_min:
            return simple(Cible::debut, IdMessage::copier_date_min, " récupérer la date min ?\n");
        case SourceDate::Label_date_max:
            return simple(Cible::fin, IdMessage::copier_date_max, " récupérer la date max ?\n");
        case SourceDate::Label_min_dsc:
            return simple(Cible::debut, IdMessage::copier_date_heure_min,
                          " récupérer la date/heure min ?\n");
        case SourceDate::Label_max_dsc:
            return simple(Cible::fin, IdMessage::copier_date_heure_max,
                          " récupérer la date/heure max ?\n");
        case SourceDate::Label_pas_dsc: {
            if (!oui(dialogue, IdMessage::copier_pas, fr(" récupérer le pas ?\n") + t))
                return std::nullopt;
            int h = 0, mn = 0, s = 0;
            if (std::sscanf(t.c_str(), "%d:%d:%d", &h, &mn, &s) < 2) return std::nullopt;
            return CopieDate{Cible::pas,
                             {},
                             static_cast<double>(((h * 60 + mn) * 60 + s) % secondes_par_jour) /
                                 jour_en_secondes};
        }
        case SourceDate::Label_date_heure_min:
            return arrondie(Cible::debut, IdMessage::copier_date_heure_mini_arrondie,
                            " récupérer la date/heure mini ?\n\n(oui) ", arrondir_au_pas_inferieur);
        case SourceDate::Label_date_heure_max:
            return arrondie(Cible::fin, IdMessage::copier_date_heure_maxi_arrondie,
                            " récupérer la date/heure maxi ?\n\n(oui) ", arrondir_au_pas_proche);
    }
    return std::nullopt;
}

std::optional<CopieDate> copier_date_cellule(const TableFichiers& table, int ligne, int colonne,
                                             Dialogue& dialogue, JournalSuivi& journal) {
    const bool dep = colonne == static_cast<int>(Colonne::date_dep);
    if (!dep && colonne != static_cast<int>(Colonne::date_fin)) return std::nullopt;
    if (ligne < 1 || ligne >= table.nb_lignes()) return std::nullopt;
    const std::string& cellule = table.lire_cellule(ligne, static_cast<Colonne>(colonne));
    if (nb_car_numeriques(cellule) <= 7) return std::nullopt;
    const std::string question = dep ? fr(" récupérer la date dep comme date min ?\n")
                                     : fr(" récupérer la date fin comme date max?\n");
    if (!oui(dialogue,
             dep ? IdMessage::copier_date_dep_cellule : IdMessage::copier_date_fin_cellule,
             question + cellule))
        return std::nullopt;
    std::string canonique;
    const double date = texte_vers_date_heure(cellule, canonique, journal);
    if (date <= 0) return std::nullopt;
    return CopieDate{dep ? CopieDate::Cible::debut : CopieDate::Cible::fin,
                     date_heure_vers_texte(date), 0};
}

}  // namespace tarvo
