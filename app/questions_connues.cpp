#include "app/questions_connues.h"

#include <array>
#include <string>
#include <vector>

#include "formats/cp1252.h"

namespace tarvo {

namespace {

constexpr unsigned b1 = 1U << 1U, b2 = 1U << 2U, b3 = 1U << 3U;

// Confirmations of the user's own settings proceed; proposals to change the settings are
// declined; questions that offer to abort because the data look wrong abort the run.
// First match wins, so a fragment shared by two texts must come after the longer one.
constexpr std::array<QuestionConnue, 30> questions{{
    // --- confirmations of the user's own settings: proceed
    {"Le nombre de lignes à générer est supérieur à 32000", 1, b2},
    {"Le décalage des dates de mesure n'est pas nul", 1, b2},
    {"La dérive des dates de mesure n'est pas nulle", 1, b2},
    {"Créer une nouvelle liste de dates régulières ?", 1, b2 | b3},
    {"le nombre de fichiers à pré-lire est supérieur à 100", 1, b2},
    {" => écraser ?", 1, 0},
    // --- proposals to change the user's settings: declined
    {"Il faudrait choisir l'option <max des n  mesures OK >", 2, b1},
    {"le test sur les dates devrait être (inf strict)", 2, 0},
    {"--- PAR JOUR", 2, b3},
    {"--- PAR MOIS", 2, b3},
    {"--- PAR ANNEE", 2, b3},
    {"semble correspondre à des intitulés de colonnes", 2, b1},
    {"Corriger l'option vers : [x] sans intitulé de colonnes", 2, b1},
    {"proposition => choisir l'option sans intitulé de colonnes", 2, b3},
    {"écraser les intitulés originaux", 2, 0},
    {"CHANGER avec le répertoire du fichier sélectionné", 2, 0},
    {"CHANGER les 3 avec le répertoire du fichier sélectionné", 2, 0},
    {"Inexistance des 3 répertoires", 2, 0},
    {"Inexistance de 2 répertoires", 2, 0},
    {"GARDER le répertoire ou CRÉER le répertoire /EXPORT", 1, 0},
    {"Vérifier le lecteur des 3 répertoires", 2, 0},
    {"Stopper le traitement  ?", 2, 0},
    // --- the data look wrong: abort
    {"Problème de date de mesure vide", 2, b1 | b2},
    {"Ouvrir le fichier et annuler le traitement ?", 1, b1},
    {"le nombre de colonnes détectées entre intitulé et données est différent", 2, b1 | b2},
    {"soit une description de colonnes", 1, b1},
    {"vérifier le n° de la colonne Date", 1, b1},
    {"Problème d'indice des colonnes à extraire", 1, b1},
    // --- one-button boxes: their only button, the command stops by itself
    {"une seule colonne de détectée", 1, 0},
    {"le presse papier ne contient que", 1, 0},
}};

}  // namespace

const QuestionConnue* question_connue(std::string_view texte_cp1252) {
    static const std::vector<std::string> fragments = [] {
        std::vector<std::string> v;
        for (const auto& q : questions) v.push_back(fr(q.fragment));
        return v;
    }();
    for (std::size_t i = 0; i < questions.size(); ++i)
        if (texte_cp1252.find(fragments[i]) != std::string_view::npos) return &questions[i];
    return nullptr;
}

int nb_boutons(Boutons boutons) {
    switch (boutons) {
        case Boutons::oui_non_annuler:
            return 3;
        case Boutons::oui_non:
        case Boutons::oui_annuler:
            return 2;
        case Boutons::ok:
            return 1;
    }
    return 1;
}

Reponse reponse_du_bouton(Boutons boutons, int numero) {
    switch (boutons) {
        case Boutons::oui_non:
            return numero == 1 ? Reponse::oui : Reponse::non;
        case Boutons::oui_non_annuler:
            return numero == 1 ? Reponse::oui : numero == 2 ? Reponse::non : Reponse::annuler;
        case Boutons::oui_annuler:
            return numero == 1 ? Reponse::oui : Reponse::annuler;
        case Boutons::ok:
            return Reponse::ok;
    }
    return Reponse::ok;
}

std::string_view legende_bouton(Boutons boutons, int numero) {
    switch (reponse_du_bouton(boutons, numero)) {
        case Reponse::oui:
            return "Oui";
        case Reponse::non:
            return "Non";
        case Reponse::annuler:
            return "Annuler";
        case Reponse::ok:
            return "OK";
    }
    return "OK";
}

}  // namespace tarvo
