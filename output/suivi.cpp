#include "output/suivi.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "description/cles_description.h"
#include "description/description.h"
#include "engine/agregation.h"
#include "engine/grille.h"
#include "engine/table_etapes.h"
#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/journal_suivi.h"
#include "formats/texte.h"
#include "inventory/intitules.h"
#include "inventory/listing.h"
#include "inventory/table_fichiers.h"
#include "output/ecriture.h"

namespace tarvo {

namespace {

// The input separator's name; an index outside the group reads as the tabulation.
std::string separateur_ou_tabulation(const Description& d) {
    const std::string nom = nom_separateur(d);
    return nom.empty() ? fr("Tabulation") : nom;
}

std::string legende_unite(int unite) {
    switch (unite) {
        case unite_mois:
            return "mois";
        case unite_annee:
            return fr("année");
        default:
            return "jour";
    }
}

std::string regle() {
    return std::string(4, ' ') + std::string(140, '-');
}

}  // namespace

std::string legende_test_dates(int test_strict) {
    return test_strict == 1 ? "(inf strict)" : "(inf ou =)";
}

std::string texte_pas_suivi(const ParametresGrille& g) {
    if (g.unite_pas != unite_jour && g.unite_pas != unite_mois && g.unite_pas != unite_annee)
        return ecrire_heure(g.TimePicker_pas);
    return std::to_string(g.SpinEdit_pas_jour_mois_annee) + " " + legende_unite(g.unite_pas);
}

std::string texte_pas_resume(const ParametresGrille& g) {
    const int n = g.SpinEdit_pas_jour_mois_annee;
    switch (g.unite_pas) {
        case unite_jour:
            return std::to_string(n) + (n > 1 ? " jours" : " jour");
        case unite_mois:
            return std::to_string(n) + " mois";
        case unite_annee:
            return std::to_string(n) + fr(n > 1 ? " années" : " année");
        default:
            return ecrire_heure(g.TimePicker_pas);
    }
}

std::string chemin_suivi(std::string_view chemin_resultat) {
    return std::string(chemin_resultat) + ".TXT";
}

std::vector<std::string> entete_suivi(const Description& d, const ParametresGrille& g,
                                      const RecapitulatifRun& run, const TableFichiers& table) {
    std::vector<std::string> l;
    l.push_back(" SUIVI DU TRAITEMENT : TABLEAU DES FICHIERS");
    l.push_back("");
    l.push_back(fr("  Description de données : ") + run.Label_description_bd);
    l.push_back(" extention " + d.Edit_masque);
    l.push_back(fr(" séparateur IN = (") + separateur_ou_tabulation(d) + ")");
    l.push_back(fr(" méthode de calcul = (") + legende_methode(d.RadioGroup_methode_ItemIndex) +
                ")");
    if (d.CheckBox_delta_Y)
        l.push_back(fr("  calcul des delta Y (rétro cumul)  y(i) - y(i-1) "));
    else if (d.CheckBox_derivees)
        l.push_back(fr("  calcul des dérivées (rétro cumul) [y(i) - y(i-1)] / pas"));
    l.push_back(run.nom_travail);
    l.push_back(" test des dates = (" + legende_test_dates(g.test_strict) + ")");
    l.push_back(" pas = (" + texte_pas_suivi(g) + ")");
    l.push_back(fr(" période du ") + g.Label_temps_deb + " au " + g.Label_temps_fin);
    l.push_back(fr(" nombre de résultats = ") + std::to_string(run.nb_dates - 1));
    // Only when set, so that the tracking file of a description without zones is unchanged.
    if (!rogner(d.Edit_fuseau_mesures).empty())
        l.push_back(" fuseau des mesures = (" + std::string(rogner(d.Edit_fuseau_mesures)) + ")");
    if (!rogner(d.Edit_fuseau_resultat).empty())
        l.push_back(fr(" fuseau du résultat = (") + std::string(rogner(d.Edit_fuseau_resultat)) +
                    ")");
    l.push_back("");
    for (int r = 0; r < table.nb_lignes(); ++r) {
        std::string ligne;
        for (const std::string& cellule : table.ligne(r))
            ligne += " \t" + echapper_controles(cellule);
        l.push_back(std::move(ligne));
    }
    return l;
}

long long nb_valeurs_utilisables(const TableEtapes& t, long long nb_resultats) {
    long long utilisables = 0;
    for (int j = 2; j <= t.K() - 1; ++j)
        utilisables += nb_resultats - t.nb_vides[static_cast<std::size_t>(j)];
    return utilisables;
}

std::vector<std::string> bilan_na(const TableEtapes& t, long long nb_resultats,
                                  std::string_view Edit_min_na, std::string_view Edit_max_na,
                                  long long nb_lignes_lues) {
    std::vector<std::string> l;
    l.push_back("");
    l.push_back(fr(" ========== nombre de résultats - nombre de VIDES(= na)"));
    long long vides = 0;
    for (int j = 2; j <= t.K() - 1; ++j) {
        const auto ju = static_cast<std::size_t>(j);
        const long long na = t.nb_vides[ju];
        l.push_back(std::to_string(nb_resultats) + " - " + std::to_string(na) + " = " +
                    std::to_string(nb_resultats - na) + "  <- " + t.titres_colonnes[ju]);
        vides += na;
    }
    const long long utilisables = nb_valeurs_utilisables(t, nb_resultats);
    l.push_back(regle());
    std::string seuils;
    if (!rogner(Edit_min_na).empty())
        seuils += fr("  (NA si sup ou = à Min=") + std::string(Edit_min_na) + ")  ";
    if (!rogner(Edit_max_na).empty())
        seuils += fr("  (NA si inf ou = à Max=") + std::string(Edit_max_na) + ")  ";
    l.push_back("      NOMBRE de VALEURS utilisables = " + format_entier_groupe(utilisables) +
                seuils + "   issues de " + std::to_string(nb_lignes_lues) +
                fr(" lignes de données"));
    if (vides < 1)
        l.push_back(fr("      aucune valeur NA ou vides détectée dans l\"ensemble du tableau"));
    else
        l.push_back("      nombre de NA ou vides dans l\"ensemble du tableau = " +
                    format_entier_groupe(vides));
    l.push_back(regle());
    return l;
}

std::vector<std::string> lignes_interruption(const RecapitulatifRun& run) {
    std::vector<std::string> l;
    l.push_back(fr(" le traitement a été stoppé : le résultat est partiel, ") +
                format_entier_groupe(run.nb_resultats) + fr(" lignes écrites sur ") +
                format_entier_groupe(run.nb_dates - 1));
    for (const FichierLu& f : run.fichiers) {
        switch (f.lecture) {
            case LectureFichier::entiere:
                l.push_back("   lu en entier : " + f.nom);
                break;
            case LectureFichier::partielle:
                l.push_back("   lu en partie : " + f.nom);
                break;
            case LectureFichier::aucune:
                l.push_back("   non lu       : " + f.nom);
                break;
        }
    }
    return l;
}

void ajouter_resume(JournalSuivi& journal, const Description& d, const ParametresGrille& g,
                    const RecapitulatifRun& run, const TableEtapes& t, bool f_modif,
                    const std::function<void()>& enregistrer_description) {
    std::string options;
    if (!rogner(run.station).empty()) options += " station( " + run.station + " )";
    options += "  " + legende_test_dates(g.test_strict);
    if (d.CheckBox_post_traitement)
        options +=
            " avec POSTtraitement des " + std::to_string(run.nb_dates) + fr(" données extraites");
    if (d.CheckBox_cumul_corriger) options += fr(" + avec cumul croissant forcé");
    if (d.CheckBox_correction_si_t1supt2) options += "  correction + 1 j SI t1>t2 ";
    if (d.CheckBox_correction_si_t1egalt2) options += "  correction +1s SI t1=t2  ";
    journal.ajouter_suivi("");
    journal.ajouter_suivi(fr(run.interrompu ? "3- TRAITEMENT INTERROMPU  (méthode : "
                                            : "3- TRAITEMENT EFFECTUÉ  (méthode : ") +
                          legende_methode(d.RadioGroup_methode_ItemIndex) + ")" + options);
    if (run.interrompu)
        for (const std::string& ligne : lignes_interruption(run)) journal.ajouter_suivi(ligne);

    const double derive = d.TimePicker_derive_reelle - d.TimePicker_derive_erronee;
    if (d.CheckBox_derive_active && derive != 0) {
        journal.ajouter_suivi(fr("  La dérive des dates de mesure n'est pas nulle"));
        journal.ajouter_suivi("   " + ecrire_heure(d.TimePicker_derive_erronee) + " => " +
                              ecrire_heure(d.TimePicker_derive_reelle) + fr("  dérive = ") +
                              (derive > 0 ? "+" : "-") + ecrire_heure(std::fabs(derive)));
    }
    if (d.CheckBox_decalage_actif) {
        journal.ajouter_suivi(fr(" Le décalage des dates de mesure n'est pas nul"));
        journal.ajouter_suivi("   " + std::string(d.RadioButton_decalage_negatif ? "-" : "+") +
                              " " + std::to_string(run.SpinEdit_decalage_jour) + " j " +
                              ecrire_heure(d.TimePicker_decalage));
    }
    journal.ajouter_suivi("     " + run.Label_nlig_impliquee);
    journal.ajouter_suivi("     " + run.Label_nr_final + " lignes     x     " +
                          std::to_string(run.nb_colonnes) + " colonnes attendues");
    if (run.nb_dates_inversees > 0) {
        journal.ajouter_suivi(fr(" ----------------------->  nombre de dates inversées : ") +
                              std::to_string(run.nb_dates_inversees));
        journal.ajouter_suivi("");
    }
    for (const std::string& ligne :
         bilan_na(t, run.nb_resultats, d.Edit_min_na, d.Edit_max_na, run.nb_lignes_lues))
        journal.ajouter_suivi(ligne);
    if (f_modif && enregistrer_description) enregistrer_description();
    const std::string suivi = chemin_suivi(run.chemin_resultat);
    journal.ajouter_suivi(fr("  Données horodatée régulières extraites et enregistrées dans    ") +
                          nom_de_fichier(run.chemin_resultat));
    journal.ajouter_suivi("  ainsi que dans le presse-papier au pas de " + texte_pas_resume(g));
    journal.ajouter_suivi(fr("  La fenêtre de suivi dans   ") + nom_de_fichier(suivi) +
                          fr(" du répertoire : "));
    // The directory the files really went to, which the save dialog may have changed.
    journal.ajouter_suivi("   " + dossier_de_fichier(run.chemin_resultat));
    journal.ajouter_suivi(fr("  durée totale = ") + duree_texte(run.duree_totale));
}

void ecrire_suivi(std::ostream& sortie, const std::vector<std::string>& entete,
                  const JournalSuivi& journal, std::string_view quoi) {
    std::vector<std::string> lignes = entete;
    lignes.push_back("");
    lignes.push_back(fr(" Fenêtre de suivi"));
    const auto& journal_lignes = journal.lignes();
    lignes.insert(lignes.end(),
                  journal_lignes.begin() + static_cast<std::ptrdiff_t>(std::min(
                                               journal.debut_run(), journal_lignes.size())),
                  journal_lignes.end());
    ecrire_lignes(sortie, lignes, quoi);
}

void ajouter_fin_suivi(JournalSuivi& journal, double maintenant, double duree_totale) {
    journal.ajouter_suivi("");
    journal.ajouter_suivi(ecrire_heure(maintenant) + fr("  durée totale ") +
                          ecrire_heure(duree_totale));
}

}  // namespace tarvo
