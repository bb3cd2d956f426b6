#include "session/aide.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "formats/cp1252.h"

namespace tarvo {
namespace {

// Every help number of the window, 29 twice (editor buttons and manual button).
const std::vector<std::string> numeros{
    "1a", "1b", "1c", "1d", "1e", "2",  "3",  "4a", "5",  "6",  "7",   "7a", "7b",  "8",   "8b",
    "9",  "10", "11", "12", "13", "14", "15", "16", "17", "19", "20",  "21", "21a", "21b", "22",
    "23", "24", "25", "26", "27", "28", "29", "29", "30", "31", "32",  "33", "34",  "35",  "36",
    "37", "38", "39", "40", "41", "42", "43", "44", "45", "46", "47",  "48", "49",  "50",  "51",
    "52", "53", "54", "55", "56", "57", "58", "59", "60", "62", "62a", "63", "64",  "65",  "66",
    "67", "68", "69", "70", "71", "72", "73", "74", "75", "76", "77",  "78"};

// First lines the users know word for word, with the control that shows each.
const std::vector<std::pair<std::string, std::string>> premieres_lignes{
    {"SpeedButton_choix_rep_donnee", "1a- Choisir ou modifier le répertoire des données"},
    {"Edit_nom_fic_sortie",
     "8-   Nom du fichier de sortie sans l'extention qui sera par défaut *.txt"},
    {"Edit_NA", "10-   valeur à utiliser pour NA"},
    {"Label_temps_deb",
     "19-  Ces deux dates Debut et Fin (Min et Max) sont récupérables par clik ci-dessus parmi les "
     "6 dates"},
    {"SpeedButton_lister",
     "20-  Lister les fichier du répertoire de données ayant la bonne extention avec un TRI "
     "ALPHABETIQUE"},
    {"GroupBox_methode",
     "24-  méthode de traitement des n mesures correspondant à chaque date horodatée et "
     "interpolation "
     "éventuelle (cas 5) "},
    {"SpeedButton_help", "29-      Fichier d'aide et manuel d'utilisation"},
    {"SpeedButton_exit", "33-     Sortie"},
    {"CheckBox_aide_flottante", "51-  affiche ou non un seconde fenêtre d'aide flottante"},
    {"GroupBox_separateur_sortie", "54-  séparateur des données du fichier de sortie"},
    {"Label21", "60-  nom du fichier de sortie"},
};

TEST(Aide, chaque_numero_a_son_entree_et_ses_controles) {
    std::multiset<std::string> attendus(numeros.begin(), numeros.end());
    std::multiset<std::string> trouves;
    for (const EntreeAide& e : entrees_aide()) {
        trouves.insert(e.numero);
        EXPECT_TRUE(e.lignes[0].starts_with(e.numero + "-")) << e.lignes[0];
        EXPECT_FALSE(e.controles.empty()) << e.numero;
    }
    EXPECT_EQ(trouves, attendus);
}

TEST(Aide, premieres_lignes_mot_pour_mot) {
    for (const auto& [controle, ligne] : premieres_lignes) {
        const EntreeAide* e = entree_aide(controle);
        ASSERT_NE(e, nullptr) << controle;
        EXPECT_EQ(e->lignes[0], fr(ligne)) << controle;
    }
}

TEST(Aide, un_controle_montre_un_seul_numero) {
    std::map<std::string, std::string> numero_de;
    for (const EntreeAide& e : entrees_aide())
        for (const std::string& c : e.controles) {
            const auto [it, nouveau] = numero_de.emplace(c, e.numero);
            EXPECT_TRUE(nouveau) << c << " : " << it->second << " et " << e.numero;
        }
}

// The help area and the floating box are narrow: only the quoted first lines may be longer.
TEST(Aide, lignes_courtes_et_sans_numero_parasite) {
    std::set<std::string> citees;
    for (const auto& [c, ligne] : premieres_lignes) citees.insert(fr(ligne));
    for (const EntreeAide& e : entrees_aide()) {
        EXPECT_FALSE(e.lignes[0].empty());
        for (std::size_t i = 0; i < e.lignes.size(); ++i) {
            const std::string& l = e.lignes[i];
            if (!citees.contains(l)) {
                EXPECT_LE(l.size(), 90u) << l;
            }
            // A digit at the start of a later line would be blanked in the floating box.
            if (i > 0 && !l.empty()) {
                EXPECT_EQ(l.front(), ' ') << l;
            }
        }
    }
}

TEST(Aide, entrees_particulieres) {
    EXPECT_EQ(taille_police_aide(entree_aide("Edit_f_date_fichier")), 8);
    EXPECT_EQ(taille_police_aide(entree_aide("Label16")), 8);
    EXPECT_EQ(taille_police_aide(entree_aide("Edit_masque")), 10);
    EXPECT_EQ(taille_police_aide(nullptr), 10);

    const EntreeAide* edit = entree_aide("SpeedButton_suivi");
    ASSERT_NE(edit, nullptr);
    const LignesAide l = lignes_aide(*edit, "notepad++.exe ");
    EXPECT_TRUE(l[0].starts_with("29-"));
    EXPECT_TRUE(l[0].ends_with("(notepad++.exe)")) << l[0];
    // The manual button's entry 29 names no editor.
    EXPECT_EQ(lignes_aide(*entree_aide("SpeedButton_help"), "notepad.exe")[0],
              entree_aide("SpeedButton_help")->lignes[0]);

    const EntreeAide* sortie = entree_aide("SpeedButton_exit");
    const int n = lignes_a_afficher(sortie->lignes);
    EXPECT_NE(sortie->lignes[static_cast<std::size_t>(n - 2)].find(fr("description")),
              std::string::npos);
    EXPECT_NE(sortie->lignes[static_cast<std::size_t>(n - 1)].find("pas"), std::string::npos);
    EXPECT_EQ(entree_aide("Form1"), nullptr);
}

TEST(Aide, nombre_de_lignes_affichees) {
    const std::vector<std::pair<LignesAide, int>> cas{
        {{"", "", "", "", "", ""}, 2},           {{"1a- x", "", "", "", "", ""}, 2},
        {{"1a- x", "a", "b", "", "", ""}, 3},    {{"1a- x", "", "", "", "c", ""}, 5},
        {{"1a- x", "a", "b", "c", "d", "e"}, 6},
    };
    for (const auto& [lignes, n] : cas) EXPECT_EQ(lignes_a_afficher(lignes), n) << lignes[0];
}

TEST(Aide, numeros_effaces_dans_la_boite_flottante) {
    const LignesFlottantes f =
        lignes_flottantes({"19-  Ces deux dates", "     suite", "2 lignes", "", "x", "7"});
    EXPECT_EQ(f.lignes[0], "  -  Ces deux dates");
    EXPECT_EQ(f.lignes[1], "     suite");
    EXPECT_EQ(f.lignes[2], "  lignes");
    EXPECT_EQ(f.lignes[4], "x");
    EXPECT_EQ(f.lignes[5], "  ");
    EXPECT_EQ(f.numero, "7");
    EXPECT_EQ(lignes_flottantes({"1a- Choisir", "", "", "", "", ""}).lignes[0], "  - Choisir");
    EXPECT_EQ(lignes_flottantes({"1a- Choisir", "", "", "", "", ""}).numero, "1a");
    EXPECT_EQ(lignes_flottantes({"", "", "", "", "", ""}).numero, "");
}

TEST(Aide, cadre_de_la_boite_flottante) {
    // Window 1280×800 at (100, 50), Label37 at 600 in it.
    const auto mesures = [](std::array<int, 6> largeurs, int x, int y) {
        MesuresAide m;
        m.largeurs = largeurs;
        m.pointeur_x = x;
        m.pointeur_y = y;
        m.fenetre_gauche = 100;
        m.fenetre_haut = 50;
        m.fenetre_largeur = 1280;
        m.fenetre_hauteur = 800;
        m.haut_periode_traitee = 600;
        return m;
    };
    // The pointer at (400, y) in a control 250 px from the left edge of the window.
    const auto sur_controle = [&](int haut, int y, int largeur, int hauteur) {
        auto m = mesures({200, 120, 0, 0, 0, 0}, 400, y);
        m.controle_gauche = 250;
        m.controle_haut = haut;
        m.controle_largeur = largeur;
        m.controle_hauteur = hauteur;
        return m;
    };
    struct Cas {
        const char* quoi;
        MesuresAide m;
        int n;
        const char* numero;
        CadreAide attendu;
    };
    const std::vector<Cas> cas{
        {"près du pointeur",
         mesures({200, 120, 0, 0, 0, 0}, 400, 250),
         3,
         "8",
         {300, 220, 220, 60}},
        {"largeur d'au moins 150",
         mesures({40, 0, 0, 0, 0, 0}, 400, 250),
         2,
         "1a",
         {300, 220, 165, 45}},
        {"la plus large des six",
         mesures({10, 20, 30, 40, 50, 517}, 400, 250),
         6,
         "5",
         {300, 220, 568, 105}},
        {"bord droit", mesures({300, 0, 0, 0, 0, 0}, 1300, 250), 2, "3", {930, 220, 330, 45}},
        // The box would cover the control it explains (window y 150..250): it goes below it,
        // or above it when the window ends first.
        {"sous un grand contrôle", sur_controle(150, 250, 100, 100), 3, "8", {300, 254, 220, 60}},
        {"au-dessus d'un contrôle du bas",
         sur_controle(560, 800, 100, 200),
         3,
         "8",
         {300, 496, 220, 60}},
        {"bord bas", mesures({300, 0, 0, 0, 0, 0}, 400, 800), 4, "3", {300, 575, 330, 75}},
        {"19 à la hauteur de Label37",
         mesures({300, 0, 0, 0, 0, 0}, 400, 100),
         4,
         "19",
         {300, 600, 330, 75}},
        {"19 même pointeur en bas",
         mesures({300, 0, 0, 0, 0, 0}, 1300, 845),
         4,
         "19",
         {930, 600, 330, 75}},
        {"19 Label37 sous le bas de la fenêtre",
         [&] {
             auto m = mesures({300, 0, 0, 0, 0, 0}, 400, 100);
             m.haut_periode_traitee = 1145;
             return m;
         }(),
         4,
         "19",
         {300, 725, 330, 75}},
        {"19 Label37 au-dessus de la fenêtre",
         [&] {
             auto m = mesures({300, 0, 0, 0, 0, 0}, 400, 100);
             m.haut_periode_traitee = -40;
             return m;
         }(),
         4,
         "19",
         {300, 0, 330, 75}},
    };
    for (const Cas& c : cas) EXPECT_EQ(cadre_flottant(c.m, c.n, c.numero), c.attendu) << c.quoi;
}

TEST(Aide, rafraichissement_ligne_a_ligne) {
    using V = std::vector<std::string>;
    EXPECT_EQ(lignes_a_remplacer(V{"a", "b"}, V{"a", "b"}), std::vector<int>{});
    EXPECT_EQ(lignes_a_remplacer(V{"a", "b", "c"}, V{"a", "x", "y"}), (std::vector<int>{1, 2}));
    EXPECT_EQ(lignes_a_remplacer(V{"a", "b", "c", "d", "e", "f"}, V{"a", "b"}), std::nullopt);
    EXPECT_EQ(lignes_a_remplacer(V{}, V{"", ""}), std::nullopt);
}

}  // namespace
}  // namespace tarvo
