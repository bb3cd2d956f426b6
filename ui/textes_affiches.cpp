#include "ui/textes_affiches.h"

#include <QLabel>

#include "session/session.h"
#include "ui/controles.h"
#include "ui/conversions_qt.h"
#include "ui/couleurs.h"

namespace tarvo {

namespace {

const AffichageListage& listage(const Session& s) {
    return s.inventaire.affichage;
}

const QColor* couleur_date(bool rouge) {
    return rouge ? &couleur_rouge : &couleur_bleue;
}

}  // namespace

const std::vector<TexteAffiche>& textes_affiches() {
    using Z = ZoneTexte;
    using S = const Session&;
    static const std::vector<TexteAffiche> table{
        {Z::fenetre, "Label_rep_description",
         [](S s) -> std::string_view { return s.Label_rep_description; }},
        {Z::description, "Label_description_bd",
         [](S s) -> std::string_view { return s.Label_description_bd; }},
        {Z::valeurs, "Label_col_alternatives",
         [](S s) -> std::string_view { return listage(s).Label_col_alternatives; }},

        {Z::listage, "Label54",
         [](S s) -> std::string_view { return listage(s).nb_fichiers_listes; }},
        {Z::listage, "Label_nb_fic",
         [](S s) -> std::string_view { return listage(s).Label_nb_fic; }},
        {Z::listage, "Label_nom_de_fichier",
         [](S s) -> std::string_view { return listage(s).Label_nom_de_fichier; }},
        {Z::listage, "Label_fic", [](S s) -> std::string_view { return listage(s).Label_fic; }},
        {Z::listage, "Label1",
         [](S s) -> std::string_view { return listage(s).taille_fichier_lu; }},
        {Z::listage, "Label8", [](S s) -> std::string_view { return listage(s).taille_totale; }},
        {Z::listage, "Label19",
         [](S s) -> std::string_view { return listage(s).texte_nb_colonnes; }},
        {Z::listage, "Label26",
         [](S s) -> std::string_view { return listage(s).nb_lignes_donnees; }},
        {Z::listage, "Label_date_min",
         [](S s) -> std::string_view { return listage(s).Label_date_min; },
         [](S s) { return couleur_date(listage(s).Label_date_min_rouge); }},
        {Z::listage, "Label_date_max",
         [](S s) -> std::string_view { return listage(s).Label_date_max; },
         [](S s) { return couleur_date(listage(s).Label_date_max_rouge); }},
        {Z::listage, "Label_date_heure_min",
         [](S s) -> std::string_view { return listage(s).Label_date_heure_min; }},
        {Z::listage, "Label_date_heure_max",
         [](S s) -> std::string_view { return listage(s).Label_date_heure_max; }},

        {Z::periode, "Label25",
         [](S s) -> std::string_view { return s.resume_grille_affiche.texte; },
         [](S s) -> const QColor* {
             switch (s.resume_grille_affiche.couleur) {
                 case CouleurResume::rouge:
                     return &couleur_rouge;
                 case CouleurResume::bleu:
                     return &couleur_bleue;
                 case CouleurResume::inchangee:
                     break;
             }
             return nullptr;
         }},
        {Z::periode, "Label_nr_final",
         [](S s) -> std::string_view { return s.grille.Label_nr_final; }},
        {Z::periode, "Label_min_dsc",
         [](S s) -> std::string_view { return s.description.Label_min_dsc; }},
        {Z::periode, "Label_max_dsc",
         [](S s) -> std::string_view { return s.description.Label_max_dsc; }},
        {Z::periode, "Label_pas_dsc",
         [](S s) -> std::string_view { return s.description.Label_pas_dsc; }},

        // The last save's time left, else the run's.
        {Z::execution, "Label10",
         [](S s) -> std::string_view {
             const std::string& sauve = s.dernier_enregistrement.temps_restant;
             return sauve.empty() ? s.extraction.temps_restant : sauve;
         }},
        // The last result's name stays until another is written, or another description
        // leaves no run on screen.
        {Z::execution, "Label21",
         [](S s) -> std::string_view {
             const std::string_view nom = s.dernier_enregistrement.nom_resultat;
             return nom.empty() && s.etapes.N() == 0 ? std::string_view("*.txt") : nom;
         },
         nullptr, true},
        {Z::execution, "Label_nlig_impliquee",
         [](S s) -> std::string_view { return s.extraction.Label_nlig_impliquee; }},
        {Z::execution, "Label5",
         [](S s) -> std::string_view { return s.extraction.colonnes_sortie; }},
        {Z::execution, "Label49",
         [](S s) -> std::string_view { return s.arret_pc.compte_a_rebours; }},
    };
    return table;
}

TextesZone::TextesZone(const QWidget* panneau, ZoneTexte zone) {
    for (const TexteAffiche& t : textes_affiches())
        if (t.zone == zone) labels_.emplace_back(exiger<QLabel>(panneau, t.controle), &t);
}

void TextesZone::rafraichir(const Session& session) const {
    for (const auto& [label, t] : labels_) {
        const std::string_view texte = t->texte(session);
        if (texte.empty() && t->garder_si_vide) continue;
        label->setText(qt(texte));
        if (t->couleur)
            if (const QColor* c = t->couleur(session)) colorer_legende(label, *c);
    }
}

}  // namespace tarvo
