#include "output/enregistrement.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <sstream>
#include <system_error>

#include "description/description.h"
#include "engine/agregation.h"
#include "engine/grille.h"
#include "engine/table_etapes.h"
#include "formats/cp1252.h"
#include "formats/date_canonique.h"
#include "formats/fichiers.h"
#include "formats/journal_suivi.h"
#include "formats/provisoire.h"
#include "formats/texte.h"
#include "output/messages.h"
#include "output/suivi.h"
#include "plateforme/dialogue.h"
#include "plateforme/presse_papier.h"
#include "plateforme/progression.h"

namespace tarvo {

namespace {

// Sized once: a stream that doubles its buffer held half as much again as a long result.
std::string texte_des_lignes(const std::vector<std::string>& lignes) {
    std::size_t taille = 0;
    for (const std::string& ligne : lignes) taille += ligne.size() + 2;
    std::string texte;
    texte.reserve(taille);
    for (const std::string& ligne : lignes) texte.append(ligne).append("\r\n");
    return texte;
}

// The options the closing box quotes twice.
std::string options_fin(const ContexteEnregistrement& c) {
    const Description& d = c.description;
    std::string o;
    if (!rogner(c.station).empty()) o += " station( " + c.station + " )";
    if (d.CheckBox_post_traitement) o += fr(" avec POSTtraitement des données extraites");
    if (d.CheckBox_delta_Y)
        o += fr("  calcul des delta Y (rétro cumul)  y(i) - y(i-1) ");
    else if (d.CheckBox_derivees)
        o += fr("  calcul des dérivées (rétro cumul) [y(i) - y(i-1)] / pas");
    return o;
}

// Batch conversions running side by side (tarvo-lot a.dsc b.dsc, or two scheduled calls) take
// turns to name and write into one directory: two results of one name would otherwise share
// one temporary file. Where the directory cannot be locked, they go on as before.
class TourDossier {
public:
    explicit TourDossier(std::string_view dossier)
        : fd_(::open(chemin_natif(dossier).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_ >= 0)
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
    }
    ~TourDossier() {
        if (fd_ >= 0) ::close(fd_);
    }
    TourDossier(const TourDossier&) = delete;
    TourDossier& operator=(const TourDossier&) = delete;

private:
    int fd_;
};

// What the closing boxes add about a stop and about rejected lines, each paragraph ended by
// an empty line; `ligne` starts each of their lines.
std::string avis_fin(const ContexteEnregistrement& c, std::string_view ligne) {
    std::string a;
    if (c.interrompu) {
        long long lus[3] = {0, 0, 0};
        for (const FichierLu& f : c.fichiers) ++lus[static_cast<int>(f.lecture)];
        const std::size_t rangs = c.listes.ListBox_DONNEE_date_clean.size();
        a += std::string(ligne) + fr("le traitement a été stoppé : le résultat est partiel\n") +
             std::string(ligne) + "fichiers lus en entier : " + std::to_string(lus[0]) +
             ", en partie : " + std::to_string(lus[1]) + ", non lus : " + std::to_string(lus[2]) +
             "\n" + std::string(ligne) +
             format_entier_groupe(static_cast<long long>(rangs > 0 ? rangs - 1 : 0)) +
             fr(" lignes écrites sur ") + format_entier_groupe(c.etapes.N() - 1) +
             fr(" (le détail est dans le fichier de suivi)\n\n");
    }
    if (c.nb_lignes_rejetees > 0)
        a += std::string(ligne) + format_entier_groupe(c.nb_lignes_rejetees) +
             fr(c.nb_lignes_rejetees > 1 ? " lignes rejetées" : " ligne rejetée") +
             fr(" (date illisible ou inexistante), la première :\n") + std::string(ligne) + "  " +
             c.premiere_ligne_rejetee + "\n" + std::string(ligne) +
             fr("vérifier le format et les colonnes de date (le détail est dans le fichier de "
                "suivi)\n\n");
    return a;
}

}  // namespace

double duree_totale(const ContexteEnregistrement& c) {
    return c.chrono_liste + c.chrono_grille + (c.maintenant - c.heure_debut_traitement);
}

bool appliquer_dossier_export(Description& d) {
    if (majuscules(d.Edit_masque) != "TXT" || d.dossier_choisi != d.dossier_choisi_sortie)
        return false;
    const std::string dossier = d.dossier_choisi_sortie + "EXPORT" + separateur_dossier;
    std::error_code erreur;
    std::filesystem::create_directories(chemin_natif(dossier), erreur);
    if (erreur)
        throw ErreurFichier(fr("Impossible de créer le répertoire  ") + dossier + " : " +
                            utf8_vers_cp1252(erreur.message()));
    d.dossier_choisi_sortie = dossier;
    return true;
}

std::string texte_fin_traitement(const ContexteEnregistrement& c, const ResultatEnregistrement& r) {
    const std::string o = options_fin(c);
    const std::string methode = fr(c.interrompu ? "3- TRAITEMENT INTERROMPU  (méthode : "
                                                : "3- TRAITEMENT EFFECTUÉ  (méthode : ") +
                                legende_methode(c.description.RadioGroup_methode_ItemIndex) + ")" +
                                o;
    if (c.lot) {
        const std::size_t lignes = c.listes.ListBox_DONNEE_date_clean.size();
        std::string avis = avis_fin(c, "     ");
        // One line per line of text on a terminal: no empty line between paragraphs.
        for (std::size_t p = avis.find("\n\n"); p != std::string::npos; p = avis.find("\n\n"))
            avis.erase(p, 1);
        return methode + "\n" + avis + fr("     résultat : ") + r.chemin + "\n" +
               "     suivi    : " + r.chemin_suivi + "\n" + "     " + c.Label_nlig_impliquee +
               ", " + std::to_string(lignes > 0 ? lignes - 1 : 0) + fr(" lignes écrites") +
               fr(", durée totale = ") + duree_texte(duree_totale(c));
    }
    return methode + "\n\n" + avis_fin(c, " ") + "     " + c.Label_nlig_impliquee + "\n\n" +
           "     " + c.Label_nr_final + " lignes     x     " + std::to_string(c.etapes.K()) +
           " colonnes attendues" + "\n\n" + o + "\n\n" + nom_de_fichier(r.chemin) +
           fr(" <- Données horodatée régulières ( copiées dans le presse-papier )") + "\n\n" +
           nom_de_fichier(r.chemin_suivi) + fr(" <- fenêtre de suivi dans le répertoire : ") +
           dossier_de_fichier(r.chemin) + "\n\n" +
           (r.description_enregistree
                ? fr("    (le fichier de description est également enregistré), durée totale = ")
                : fr("    durée totale = ")) +
           duree_texte(duree_totale(c));
}

std::string texte_aucune_ligne_extraite(const ContexteEnregistrement& c,
                                        const ResultatEnregistrement& r) {
    // No file held a date to read: the day zero of the calendar is no date of the files.
    const bool sans_date = c.Label_date_heure_min == date_heure_vers_texte(0) &&
                           c.Label_date_heure_max == date_heure_vers_texte(0);
    return fr("3- TRAITEMENT EFFECTUÉ, mais AUCUNE LIGNE EXTRAITE :\n\n") + avis_fin(c, " ") +
           fr(" aucune mesure des fichiers ne tombe dans la période ciblée\n\n") +
           fr("     période ciblée     : ") + c.parametres_grille.Label_temps_deb + " => " +
           c.parametres_grille.Label_temps_fin + "\n" + "     dates des fichiers : " +
           (sans_date ? fr("aucune, les fichiers n'ont pas de ligne de données")
                      : c.Label_date_heure_min + " => " + c.Label_date_heure_max) +
           "\n\n" +
           fr(" vérifier la période (zone 4) et les dates des fichiers (colonnes date dep et "
              "date fin du tableau)\n\n") +
           nom_de_fichier(r.chemin) + fr(" est écrit, toutes ses valeurs sont NA");
}

std::string texte_aucune_valeur_valide(const ContexteEnregistrement& c,
                                       const ResultatEnregistrement& r) {
    const Description& d = c.description;
    std::string seuils;
    if (!rogner(d.Edit_min_na).empty()) seuils += " (NA sous Min=" + d.Edit_min_na + ")";
    if (!rogner(d.Edit_max_na).empty())
        seuils += fr(" (NA au-dessus de Max=") + d.Edit_max_na + ")";
    return fr("3- TRAITEMENT EFFECTUÉ, mais AUCUNE VALEUR VALIDE :\n\n") + avis_fin(c, " ") +
           "     " + c.Label_nlig_impliquee +
           fr(", mais aucune valeur des colonnes extraites n'est ") + "utilisable" + seuils +
           "\n\n" +
           fr(" vérifier les colonnes extraites, le séparateur décimal et les seuils Min et Max ") +
           "des NA\n\n" + nom_de_fichier(r.chemin) + fr(" est écrit, toutes ses valeurs sont NA");
}

// Kept whole: the two files are staged, then put in place in one order that a split would hide.
ResultatEnregistrement enregistrer_resultats(ContexteEnregistrement& c) {
    ResultatEnregistrement r;
    Description& d = c.description;
    const int N = c.etapes.N();
    const auto echec = [&](EtatEnregistrement etat, const ErreurFichier& e) {
        r.etat = etat;
        r.message_erreur = e.what();
        c.dialogue.message(IdMessage::echec_ecriture_resultat, r.message_erreur,
                           TypeMessage::erreur);
        return r;
    };

    try {
        if (appliquer_dossier_export(d)) c.f_modif = true;
    } catch (const ErreurFichier& e) {
        return echec(EtatEnregistrement::echec_resultat, e);
    }

    std::optional<TourDossier> tour;
    if (c.lot) tour.emplace(d.dossier_choisi_sortie);
    const double total = duree_totale(c);
    const auto nb_lignes = static_cast<long long>(c.listes.ListBox_DONNEE_date_clean.size());
    const long long nb_resultats = nb_lignes > 0 ? nb_lignes - 1 : 0;
    // Known before the name is chosen: the question before replacing a file says it.
    // No value column at all (every file empty) is no valid value either.
    r.aucune_valeur_valide =
        nb_resultats > 0 &&
        (c.etapes.K() <= 2 || nb_valeurs_utilisables(c.etapes, nb_resultats) == 0);
    const ParametresNommage nommage{d.Edit_nom_fic_sortie,
                                    d.CheckBox_inc_nom,
                                    d.dossier_choisi_sortie,
                                    total,
                                    c.parametres_grille.Label_temps_deb,
                                    c.parametres_grille.Label_temps_fin,
                                    N - 1,
                                    r.aucune_valeur_valide ? ResultatIncomplet::sans_valeur
                                    : c.interrompu         ? ResultatIncomplet::partiel
                                                           : ResultatIncomplet::non};
    const NomResultat nom = nommer_resultat(nommage, c.dialogue, c.choisir_fichier, c.journal);
    r.chemin = nom.chemin;
    r.nom_resultat = nom.nom_resultat;
    r.chemin_suivi = chemin_suivi(r.chemin);

    std::optional<FichierProvisoire> resultat;
    try {
        r.texte_resultat = texte_des_lignes(c.listes.ListBox_DONNEE_date_clean);
        resultat.emplace(r.chemin, r.texte_resultat, ::fsync, Lien::remplacer);
    } catch (const ErreurFichier& e) {
        return echec(EtatEnregistrement::echec_resultat, e);
    }

    const RecapitulatifRun run{c.Label_description_bd,
                               nom.nom_travail,
                               N,
                               c.etapes.K(),
                               nb_resultats,
                               c.station,
                               c.SpinEdit_decalage_jour,
                               c.Label_nlig_impliquee,
                               c.Label_nr_final,
                               c.nb_dates_inversees,
                               c.nb_lignes_lues,
                               r.chemin,
                               total,
                               c.interrompu,
                               c.fichiers};
    const std::vector<std::string> entete = entete_suivi(d, c.parametres_grille, run, c.table);
    ajouter_resume(c.journal, d, c.parametres_grille, run, c.etapes, c.f_modif, [&] {
        r.description_enregistree = c.enregistrer_description && c.enregistrer_description();
    });
    // Both files are whole on disk before either replaces its old version, and then replace
    // them together: a failure leaves the old pair as it was.
    try {
        std::ostringstream texte_suivi;
        ecrire_suivi(texte_suivi, entete, c.journal, r.chemin_suivi);
        FichierProvisoire suivi(r.chemin_suivi, texte_suivi.view(), ::fsync, Lien::remplacer);
        mettre_en_place_paire(*resultat, suivi);
    } catch (const PaireScindee& e) {
        return echec(EtatEnregistrement::echec_suivi, e);
    } catch (const ErreurFichier& e) {
        return echec(EtatEnregistrement::echec_resultat, e);
    }
    if (!c.mode_presse_papier && !c.lot) c.presse_papier.ecrire_texte(r.texte_resultat);
    ajouter_fin_suivi(c.journal, c.maintenant, total);
    tour.reset();

    c.progression.afficher_progression(std::string(32, ' '), Progression::chronometre_traitement);
    r.temps_restant = "reste 00:00:00    0 Mo";
    r.etat = EtatEnregistrement::enregistre;
    if (c.arret_pc_demande) return r;
    // A stop comes first: the other boxes would judge the files by what was read of them.
    if (c.interrompu)
        c.dialogue.message(IdMessage::traitement_interrompu, texte_fin_traitement(c, r),
                           TypeMessage::avertissement);
    else if (c.nb_lignes_lues == 0)
        c.dialogue.message(IdMessage::aucune_ligne_extraite, texte_aucune_ligne_extraite(c, r),
                           TypeMessage::avertissement);
    else if (r.aucune_valeur_valide)
        c.dialogue.message(IdMessage::aucune_valeur_valide, texte_aucune_valeur_valide(c, r),
                           TypeMessage::avertissement);
    else if (c.nb_lignes_rejetees > 0)
        c.dialogue.message(IdMessage::fin_traitement_lignes_rejetees, texte_fin_traitement(c, r),
                           TypeMessage::avertissement);
    else
        c.dialogue.message(IdMessage::fin_traitement, texte_fin_traitement(c, r),
                           TypeMessage::information);
    return r;
}

std::optional<std::string> copier_valeurs_seules(const ListesResultats& listes,
                                                 std::string_view dossier_programme,
                                                 bool mode_presse_papier,
                                                 PressePapier& presse_papier, Dialogue& dialogue) {
    if (listes.ListBox_juste_donnee.empty()) return std::nullopt;
    const std::string chemin = std::string(dossier_programme) + "~tmp.txt";
    std::string texte;
    try {
        texte = texte_des_lignes(listes.ListBox_juste_donnee);
        ecrire_fichier_atomique(chemin, texte);
    } catch (const ErreurFichier& e) {
        dialogue.message(IdMessage::erreur_copie_valeurs, e.what(), TypeMessage::erreur);
        return std::nullopt;
    }
    if (!mode_presse_papier) presse_papier.ecrire_texte(texte);
    dialogue.message(IdMessage::valeurs_copiees, texte_valeurs_copiees(), TypeMessage::information);
    return texte;
}

}  // namespace tarvo
