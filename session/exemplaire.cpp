#include "session/exemplaire.h"

#include <filesystem>
#include <stdexcept>
#include <vector>

#include "description/analyse_exemplaire.h"
#include "engine/messages.h"
#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/fuseaux.h"
#include "formats/texte.h"
#include "inventory/intitules.h"
#include "inventory/prelecture.h"
#include "plateforme/dialogue.h"
#include "plateforme/lanceur.h"

namespace tarvo {

namespace {

std::string extension(std::string_view nom) {
    const auto point = nom.rfind('.');
    return point == std::string_view::npos ? std::string() : std::string(nom.substr(point + 1));
}

// The file count and the first name for the files of the sample's mask.
void compter_masque(Session& session, const std::string& masque) {
    Description d = session.description;
    d.Edit_masque = masque;
    const auto compte = compter_fichiers(d);
    session.inventaire.affichage.nb_fichiers_listes = std::to_string(compte.nb);
    session.inventaire.affichage.Label_nom_de_fichier = compte.premier;
}

// The line buffer holds the sample as it is: its tabulations must stay to be counted.
bool charger_exemplaire(Session& session, Dialogue& dialogue, const std::string& chemin) {
    Description brute = session.description;
    brute.RadioGroup_separateur_colonne_ItemIndex = Separateur::espace;
    brute.CheckBox_car_null = false;
    std::error_code erreur;
    const auto taille = std::filesystem::file_size(chemin_natif(chemin), erreur);
    return prelire_fichier(chemin, erreur ? 0 : static_cast<long long>(taille), brute,
                           ModeEntree::fichiers, session.inventaire.tampon_fichier_lu,
                           session.journal, dialogue, FenetresLecture{});
}

}  // namespace

DemandeFichier demande_exemplaire(const Session& session) {
    std::string dossier = session.description.dossier_choisi;
    if (dossier.empty()) {
        std::error_code ignore;
        dossier = ajouter_antislash(std::filesystem::current_path(ignore).string());
    }
    return {fr("Exemplaire de fichier dans le répertoire des données : ") + dossier, dossier,
            "Fichiers (*.*)|*.*|Tous les fichiers (*.*)|*.*", "*.*"};
}

void exemplaire_fichier_donnees(Session& session, Dialogue& dialogue, Lanceur& lanceur,
                                std::optional<std::string> chemin) {
    if (!chemin) return;
    Description& d = session.description;
    AffichageListage& a = session.inventaire.affichage;
    const std::string nom = nom_de_fichier(*chemin);
    const std::string ext = extension(nom);
    const std::string masque = supprimer_car('.', supprimer_car('*', d.Edit_masque));
    // A sample that the mask's name pattern lists is of its family: the pattern stays as typed.
    const MasqueFichiers masque_ouvert(d.Edit_masque);
    const bool du_motif = masque_ouvert.motif_de_nom() && masque_ouvert.correspond(nom);
    const std::string masque_exemplaire = du_motif ? d.Edit_masque : ext;
    // A sample of another file family starts another description: the open one, and the
    // result its family writes, must not receive these settings.
    const bool autre_famille = dossier_de_fichier(*chemin) != d.dossier_choisi ||
                               (!du_motif && majuscules(ext) != majuscules(masque));
    // Its settings replace the open description's: unsaved changes are saved or dropped first.
    if (autre_famille && !session.enregistrer_avant_remplacement()) return;
    std::string nom_description = session.Label_description_bd;
    if (autre_famille) {
        Description proposee = d;
        proposee.Edit_masque = masque_exemplaire;
        nom_description = nom_description_propose("Temporaire.DSC", proposee);
    }
    // The command ends by saving what it proposed: a description already on disk is
    // replaced only on the user's word, asked before anything changes.
    const std::string cible = chemin_description(d.dossier_description, nom_description);
    if (!nom_description_absent(nom_description) && existe(cible) &&
        dialogue.question(IdMessage::remplacer_description_existante,
                          fr(" Le fichier de description  ") + nom_de_fichier(cible) +
                              fr("  existe déjà\n\n   le remplacer par les réglages de cet "
                                 "exemplaire ?"),
                          TypeMessage::avertissement, Boutons::oui_non) != Reponse::oui)
        return;
    if (autre_famille) {
        d = description_autre_famille(d, session.description_par_defaut());
        session.oublier_description_precedente();
    }
    a.taille_totale = "---";
    a.avancement = "---";
    session.table.vider();

    d.dossier_choisi = dossier_de_fichier(*chemin);
    a.nb_fichiers_listes = std::to_string(compter_fichiers(d).nb);
    if (!du_motif && (ext != masque || masque == "ppp")) {
        d.Edit_masque = ext;
        session.f_modif = true;
    }
    if (autre_famille) {
        session.Label_description_bd = nom_description;
        d.Edit_nom_fic_sortie = nom.substr(0, nom.size() - ext.size() - (ext.empty() ? 0 : 1));
        session.f_modif = true;
    }
    session.source.mode = mode_depuis_masque(masque_exemplaire);
    const bool classeur = session.source.mode == ModeEntree::classeur;
    if (classeur) {
        d.Label_nom_fic_excel = nom;
        session.convertir_excel(d.dossier_choisi + nom);
        session.f_modif = true;
    }
    compter_masque(session, masque_exemplaire);

    if (!classeur &&
        dialogue.message_perso(
            IdMessage::utiliser_ou_editer_exemplaire,
            "FICHIER\n  " + nom + "                   " + "\n\n\n" + "DESCRIPTION DES DONNEES\n\n" +
                fr(" Utiliser les paramètrages tels quel") + "\n" + "\n" +
                fr(" ou les adapter et éditer le fichier") + "\n",
            TypeMessage::avertissement, "Utiliser tels quels", "Editer et adapter") == 2) {
        lanceur.ouvrir_dans_editeur(*chemin);
        return;
    }
    if (!du_motif && session.source.mode == ModeEntree::fichiers &&
        majuscules(ext) != majuscules(d.Edit_masque)) {
        const Reponse r = dialogue.question(
            IdMessage::extension_inattendue,
            fr(" L'extention du fichier (") + ext + fr(") n'est pas celui attendu (") +
                d.Edit_masque + ") \r\r" + "   modifier l'extention et continuer (Oui)  " + "\n\n" +
                "   ou juste visualiser le fichier     (Non) ",
            TypeMessage::avertissement, Boutons::oui_non);
        compter_masque(session, ext);
        if (r != Reponse::oui) {
            lanceur.ouvrir_dans_editeur(*chemin);
            return;
        }
        session.f_modif = true;
        d.Edit_masque = ext;
        if (majuscules(extension(session.Label_description_bd)) != majuscules(ext)) {
            session.Label_description_bd = nom_description_propose("Temporaire.DSC", d);
            session.f_modif = true;
        }
        session.lister_fichiers();
        a.legende_SpeedButton_lister = legende_bouton_lister(session.source.mode, d.Edit_masque);
    }
    compter_masque(session, masque_exemplaire);

    std::string montre = *chemin;
    if (classeur) {
        if (d.RadioGroup_separateur_colonne_ItemIndex != Separateur::point_virgule) {
            d.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;
            session.f_modif = true;
        }
        montre = session.source.copie;
    }
    if (!charger_exemplaire(session, dialogue, montre))
        session.inventaire.tampon_fichier_lu.vider();
    lanceur.ouvrir_dans_editeur(montre);
    const TamponLignes& memo = session.inventaire.tampon_fichier_lu;
    a.nb_lignes_donnees = format_entier_groupe(memo.nb_lignes());

    // The analysis looks at the first lines only, which a big file's head holds.
    std::vector<std::string_view> lignes;
    lignes.reserve(static_cast<std::size_t>(memo.nb_lignes_tete()));
    for (int i = 0; i < memo.nb_lignes_tete(); ++i) lignes.push_back(memo.ligne(i));
    try {
        if (analyser_exemplaire(lignes, d, dialogue)) session.f_modif = true;
        if (proposer_champs_guillemets(lignes, d, dialogue)) session.f_modif = true;
    } catch (const std::invalid_argument& e) {
        dialogue.message(IdMessage::exemplaire_valeur_non_entiere, e.what(), TypeMessage::erreur);
        return;
    }
    session.lister_fichiers();
    session.lire_ecrire_description(Session::SensDescription::ecrire);
    a.legende_SpeedButton_lister = legende_bouton_lister(session.source.mode, d.Edit_masque);
}

std::string bulle_bouton_lister(ModeEntree mode) {
    switch (mode) {
        case ModeEntree::classeur:
            return fr(" ci-dessous le fichier XLS ciblé du répertoire de données ");
        case ModeEntree::presse_papier:
            return " ci-dessous le fichier temporaire issu du presse-papier ";
        case ModeEntree::fichiers:
            break;
    }
    return fr(
        " Valider la description et lister ci-dessous les fichiers du répertoire de données ");
}

void quitter_champ(Session& session, Dialogue& dialogue, std::string_view nom, bool entree) {
    Description& d = session.description;
    std::string* champ = nullptr;
    ControleChamp r;
    TypeMessage type = TypeMessage::information;
    bool modifie = false;  // whatever the check did, the field's value is kept as new
    if (nom == "Edit_fuseau_mesures" || nom == "Edit_fuseau_resultat") {
        // Kept as typed: the run refuses it until it is corrected.
        const bool mesures = nom == "Edit_fuseau_mesures";
        const std::string& valeur = mesures ? d.Edit_fuseau_mesures : d.Edit_fuseau_resultat;
        if (!rogner(valeur).empty() && !Fuseau::lire(valeur))
            dialogue.message(
                IdMessage::fuseau_inconnu,
                texte_fuseau_inconnu(mesures ? fr("fuseau des mesures") : fr("fuseau du résultat"),
                                     valeur),
                TypeMessage::erreur);
        return;
    }
    if (nom == "Edit_col_cochee") {
        champ = &d.Edit_col_cochee;
        r = controler_col_cochee(*champ, d);
        type = TypeMessage::avertissement;
    } else if (nom == "Edit_format_datetime_mesure" || nom == "Edit_format_time_mesure_seul") {
        champ = &d.Edit_format_datetime_mesure;
        r = controler_format_datetime(*champ);
        modifie = true;
    } else if (nom == "Edit_format_date_mesure_seule") {
        champ = &d.Edit_format_date_mesure_seule;
        r = controler_format_date_seule(*champ);
        modifie = true;
    } else if (nom == "Edit_f_date_fichier") {
        champ = &d.Edit_f_date_fichier;
        r = controler_date_fichier(*champ);
        modifie = true;
    } else if (nom == "Edit_masque") {
        champ = &d.Edit_masque;
        r = controler_masque(*champ);
        modifie = r.modifie && r.valeur != "ppp";
    } else if (nom == "Edit_equiv_na") {
        champ = &d.Edit_equiv_na;
        r = controler_equiv_na(*champ);
    } else {
        return;
    }
    if (!r.message.empty()) dialogue.message(IdMessage::controle_champ, r.message, type);
    *champ = r.valeur;
    if (modifie || (r.modifie && nom == "Edit_col_cochee")) session.marquer_modifie();
    AffichageListage& a = session.inventaire.affichage;
    if (nom == "Edit_col_cochee" || nom == "Edit_masque")
        a.Label_col_alternatives = resume_colonnes_extraites(
            d, session.inventaire.colonnes.Edit_intitule_origine, a.Label_col_alternatives);
    if (!entree) return;
    if (nom == "Edit_col_cochee") {
        session.marquer_modifie();
        session.lire_ecrire_description(Session::SensDescription::ecrire);
    } else if (nom == "Edit_masque" && session.f_modif) {
        const auto compte = compter_fichiers(d);
        a.nb_fichiers_listes = std::to_string(compte.nb);
        a.Label_nom_de_fichier = compte.premier;
        session.lister_fichiers();
    }
}

}  // namespace tarvo
