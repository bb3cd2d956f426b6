#include "session/edition_table.h"

#include "engine/grille.h"
#include "formats/cp1252.h"
#include "formats/nombres.h"
#include "formats/texte.h"
#include "inventory/listing.h"
#include "inventory/table_fichiers.h"
#include "plateforme/dialogue.h"
#include "plateforme/lanceur.h"
#include "session/session.h"

namespace tarvo {

namespace {

// A copy accepted into the period goes the way a picker change goes.
SuiteEditionTable appliquer_copie(Session& s, const std::optional<CopieDate>& copie) {
    if (!copie) return {};
    switch (copie->cible) {
        case CopieDate::Cible::debut:
            s.parametres_grille.Label_temps_deb = copie->texte;
            break;
        case CopieDate::Cible::fin:
            s.parametres_grille.Label_temps_fin = copie->texte;
            break;
        case CopieDate::Cible::pas:
            s.parametres_grille.TimePicker_pas = copie->pas;
            break;
    }
    s.marquer_modifie();
    s.parametres_grille_modifies();
    SuiteEditionTable suite;
    suite.periode_modifiee = true;
    return suite;
}

}  // namespace

SuiteEditionTable effacer_lignes(Session& s, Effacement quoi, int premiere, int derniere,
                                 bool sans_confirmation, Dialogue& dialogue,
                                 Progression& progression) {
    SuiteEditionTable suite;
    if (s.table.nb_fichiers() < 1) return suite;
    switch (quoi) {
        case Effacement::selection:
            effacer_selection(s.table, premiere, derniere, dialogue);
            break;
        case Effacement::vers_le_haut:
            effacer_vers_le_haut(s.table, premiere, dialogue);
            break;
        case Effacement::vers_le_bas:
            effacer_vers_le_bas(s.table, premiere, dialogue);
            break;
        case Effacement::hors_periode:
            effacer_hors_periode(s.table, s.parametres_grille.Label_temps_deb,
                                 s.parametres_grille.Label_temps_fin, sans_confirmation, dialogue);
            break;
    }
    recompter_tableau(s.table, s.description, s.inventaire, s.journal, progression);
    suite.table_modifiee = true;
    suite.ligne1_courante = true;
    return suite;
}

SuiteEditionTable double_clic_table(Session& s, int ligne, int colonne, Dialogue& dialogue,
                                    Lanceur& lanceur) {
    SuiteEditionTable suite;
    TableFichiers& table = s.table;
    if (table.nb_fichiers() < 1 || colonne < 0 || colonne >= nb_colonnes_table ||
        ligne >= table.nb_lignes())
        return suite;
    if (ligne >= 1 && colonne == colonne_marque) {
        basculer_marque(table, ligne, s.inventaire);
        suite.table_modifiee = true;
        return suite;
    }
    if (ligne >= 1 && colonne == static_cast<int>(Colonne::fichier)) {
        const std::string chemin =
            s.source.mode == ModeEntree::fichiers
                ? ajouter_antislash(s.description.dossier_choisi) +
                      std::string(rogner(table.lire_cellule(ligne, Colonne::sous_repertoire))) +
                      table.lire_cellule(ligne, Colonne::fichier)
                : s.source.copie;
        lanceur.ouvrir_dans_editeur(chemin);
        return suite;
    }
    trier_par_colonne(table, colonne, s.tri_croissant);
    suite.table_modifiee = true;
    const SuiteEditionTable copie =
        appliquer_copie(s, copier_date_cellule(table, ligne, colonne, dialogue, s.journal));
    suite.periode_modifiee = copie.periode_modifiee;
    return suite;
}

std::string station_de_ligne(const Session& s, int ligne) {
    if (s.table.nb_fichiers() < 1) return {};
    const int l = ligne < 1 || ligne >= s.table.nb_lignes() ? 1 : ligne;
    return s.table.lire_cellule(l, Colonne::station);
}

SuiteEditionTable choisir_station(Session& s, ChoixStation choix, std::string_view station) {
    s.titre_graphique =
        appliquer_choix_station(s.table, choix, station, s.titre_graphique, s.inventaire);
    SuiteEditionTable suite;
    suite.table_modifiee = true;
    return suite;
}

SuiteEditionTable copier_date(Session& s, SourceDate source, Dialogue& dialogue) {
    const AffichageListage& a = s.inventaire.affichage;
    const std::string* texte = nullptr;
    switch (source) {
        case SourceDate::Label_date_min:
            texte = &a.Label_date_min;
            break;
        case SourceDate::Label_date_max:
            texte = &a.Label_date_max;
            break;
        case SourceDate::Label_date_heure_min:
            texte = &a.Label_date_heure_min;
            break;
        case SourceDate::Label_date_heure_max:
            texte = &a.Label_date_heure_max;
            break;
        case SourceDate::Label_min_dsc:
            texte = &s.description.Label_min_dsc;
            break;
        case SourceDate::Label_max_dsc:
            texte = &s.description.Label_max_dsc;
            break;
        case SourceDate::Label_pas_dsc:
            // A time step only sets the time picker, which a day, month or year step ignores:
            // copying it would change nothing the run reads.
            if (const int u = s.parametres_grille.unite_pas; u >= unite_jour && u <= unite_annee)
                return {};
            texte = &s.description.Label_pas_dsc;
            break;
    }
    // The label's own text: the copy must not change while the question is open.
    const std::string copie_texte = *texte;
    return appliquer_copie(s, copier_date_label(source, copie_texte, pas_jours(s.parametres_grille),
                                                dialogue, s.journal));
}

SuiteEditionTable reafficher_tableau_complet(Session& s, Dialogue& dialogue,
                                             Progression& progression, Lanceur& lanceur) {
    s.demande_stop = false;
    const ResultatListage r = lister(s.description, s.source, s.inventaire, s.table, s.lecteur,
                                     s.journal, dialogue, progression, lanceur);
    if (r.description_corrigee) s.description = r.description;
    if (r.f_modif) s.f_modif = *r.f_modif;
    restaurer_marques(s.table, s.inventaire.ListBox_fic_coche);
    SuiteEditionTable suite;
    suite.table_modifiee = true;
    return suite;
}

bool valider_masque(Session& s, Dialogue& dialogue) {
    if (!s.f_modif) return false;
    AffichageListage& a = s.inventaire.affichage;
    const ComptageFichiers compte = compter_fichiers(s.description);
    a.nb_fichiers_listes = std::to_string(compte.nb);
    a.Label_nom_de_fichier = compte.premier;
    if (compte.nb > 0) {
        a.legende_SpeedButton_lister = legende_bouton_lister(
            mode_depuis_masque(s.description.Edit_masque), s.description.Edit_masque);
        return true;
    }
    dialogue.message(
        IdMessage::aucun_fichier_extension,
        " Aucun fichier ayant l'extension " + s.description.Edit_masque + "        " + "\n",
        TypeMessage::information);
    return false;
}

void valider_ligne_donnee(Session& s, Dialogue& dialogue) {
    const Description& d = s.description;
    const bool sans_intitules = d.RadioGroup_avec_sans_intitule_ItemIndex == Intitules::sans;
    const int intitules = lire_entier(d.Edit_num_ligne_intitule_col).value_or(0);
    const int donnee = lire_entier(d.Edit_num_ligne_donnee).value_or(0);
    if ((sans_intitules && rogner(d.Edit_num_ligne_intitule_col) != "0") || intitules < donnee) {
        s.marquer_modifie();
        return;
    }
    dialogue.message(IdMessage::ligne_donnee_invalide,
                     fr(" la valeur ") + d.Edit_num_ligne_donnee +
                         fr(" n'est pas valide comme n° de ligne de donnée par rapport à celui de "
                            "l'intitulés de colonnes : ") +
                         d.Edit_num_ligne_intitule_col + " ...",
                     TypeMessage::avertissement);
}

}  // namespace tarvo
