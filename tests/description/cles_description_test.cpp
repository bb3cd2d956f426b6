#include "description/cles_description.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "formats/cp1252.h"
#include "formats/date_canonique.h"
#include "formats/journal_suivi.h"

namespace tarvo {
namespace {

const ContexteDescription contexte{"/opt/tarvo/",
                                   *date_civile(2024, 3, 15) + (10 * 3600 + 30 * 60) / 86400.0};

double heure(int h, int mn, int s) {
    return (h * 3600 + mn * 60 + s) / 86400.0;
}

// A description text from lines, each ended by CR LF as the program writes them.
std::string texte(const std::vector<std::string>& lignes) {
    std::string t;
    for (const auto& l : lignes) t += l + "\r\n";
    return t;
}

Description lire(const std::string& contenu, Description d = {}) {
    JournalSuivi journal;
    EXPECT_TRUE(lire_description_texte(contenu, d, contexte, journal).complete());
    return d;
}

TEST(CleDescription, LesDefautsSontCeuxDUnFichierVide) {
    const Description d = description_par_defaut(contexte);
    EXPECT_TRUE(d.CheckBox_inc_nom);
    EXPECT_FALSE(d.CheckBox_recursif);
    EXPECT_TRUE(d.RadioButton_decalage_positif);
    EXPECT_EQ(d.dossier_choisi, "/./");
    EXPECT_EQ(d.dossier_description, "/opt/tarvo/");
    EXPECT_EQ(d.dossier_choisi_sortie, "/opt/tarvo/");
    EXPECT_EQ(d.Edit_equiv_na, "NA;-1;-99999;-99999.0;-99990.0");
    EXPECT_EQ(d.Edit_masque, "*.csV");
    EXPECT_EQ(d.Edit_NA, "");
    EXPECT_EQ(d.Label_min_dsc, "15/03/2024 10:30:00");
    EXPECT_EQ(d.Label_max_dsc, "15/03/2024 10:30:00");
    EXPECT_EQ(d.Label_pas_dsc, "00:15:00");
    EXPECT_EQ(d.TimePicker_decalage, 0.0);
    EXPECT_EQ(d.DateTimePicker_debut_derive, *date_civile(1900, 1, 2));

    // An empty file, or one without any key, leaves nothing of what was shown before.
    Description autre = d;
    autre.Edit_masque = "*.dat";
    autre.RadioGroup_methode_ItemIndex = Methode::min;
    autre.TimePicker_decalage = 0.5;
    EXPECT_EQ(lire("", autre), d);
    EXPECT_EQ(lire("rien\r\n\r\npas une cle\r\n", autre), d);
}

TEST(CleDescription, AMinuitLaDateDuJourGardeSonHeure) {
    const ContexteDescription minuit{"/p/", *date_civile(2024, 3, 15)};
    EXPECT_EQ(description_par_defaut(minuit).Label_min_dsc, "15/03/2024 00:00:00");
}

TEST(CleDescription, FichierPartiel) {
    const Description d = lire(texte({"Edit_masque.text= *.dat", "CheckBox_recursif.Checked= true",
                                      "RadioGroup_methode_ItemIndex= 5"}));
    Description attendu = description_par_defaut(contexte);
    attendu.Edit_masque = "*.dat";
    attendu.CheckBox_recursif = true;
    attendu.RadioGroup_methode_ItemIndex = Methode::cumul;
    EXPECT_EQ(d, attendu);
}

TEST(CleDescription, LireCle) {
    struct Cas {
        std::vector<std::string> lignes;
        std::string attendu;
    };
    const std::string cle = "Edit_nom_fic_sortie.text";
    const std::vector<Cas> cas{
        {{"Edit_nom_fic_sortie.text= sortie"}, "sortie"},
        {{"edit_NOM_fic_sortie.TEXT= sortie"}, "sortie"},   // letter case aside
        {{"Edit_nom_fic_sortie.text = sortie"}, "defaut"},  // blank before "="
        {{" Edit_nom_fic_sortie.text= sortie"}, "defaut"},  // blank before the key
        {{"Edit_nom_fic_sortie.text= a=b"}, "a"},           // cut at the next "="
        {{"Edit_nom_fic_sortie.text=   a b   "}, "a b"},    // blanks trimmed
        {{"Edit_nom_fic_sortie.text=\ta\t"}, "\ta\t"},      // a tab is no blank
        {{"Edit_nom_fic_sortie.text="}, ""},                // present but empty
        {{"Edit_nom_fic_sortie.textX= a"}, "defaut"},       // another key
        {{"Edit_nom_fic_sortie.text sortie", "Edit_nom_fic_sortie.text= b"}, "b"},
        {{"Edit_nom_fic_sortie.text= un", "Edit_nom_fic_sortie.text= deux"}, "un"},
        {{"Edit_nom_fic_sortie.text= \xC3\xA9t\xC3\xA9"}, "\xE9t\xE9"},  // saved as UTF-8
        {{}, "defaut"},
    };
    for (const auto& c : cas) {
        EXPECT_EQ(lire_cle(c.lignes, cle, "defaut"), c.attendu)
            << (c.lignes.empty() ? "" : c.lignes.front());
    }
}

TEST(CleDescription, FormesALaLecture) {
    struct Cas {
        std::string ligne;
        Description attendu;
    };
    const Description def = description_par_defaut(contexte);
    const auto avec = [&](auto modifier) {
        Description d = def;
        modifier(d);
        return d;
    };
    const std::vector<Cas> cas{
        {"CheckBox_recursif.Checked= true",
         avec([](Description& d) { d.CheckBox_recursif = true; })},
        {"CheckBox_recursif.Checked=   true  ",
         avec([](Description& d) { d.CheckBox_recursif = true; })},
        {"CheckBox_recursif.Checked= True", def},
        {"CheckBox_recursif.Checked= TRUE", def},
        {"CheckBox_recursif.Checked= 1", def},
        {"CheckBox_inc_nom.Checked=", avec([](Description& d) { d.CheckBox_inc_nom = false; })},
        {"dossier_choisi=", avec([](Description& d) { d.dossier_choisi = ""; })},
        {"dossier_choisi= /mesures", avec([](Description& d) { d.dossier_choisi = "/mesures/"; })},
        {"dossier_choisi= /mesures/", avec([](Description& d) { d.dossier_choisi = "/mesures/"; })},
        {"RadioGroup_methode_ItemIndex= 7",
         avec([](Description& d) { d.RadioGroup_methode_ItemIndex = static_cast<Methode>(7); })},
        {"RadioGroup_coul_nb.ItemIndex= 1", avec([](Description& d) { d.RadioGroup_coul_nb = 1; })},
        {"TimePicker_decalage= 01:30:00",
         avec([](Description& d) { d.TimePicker_decalage = heure(1, 30, 0); })},
        {"TimePicker_decalage= 1:30", def},
        {"TimePicker_decalage= 15/03/2005 10:30:00",
         avec([](Description& d) { d.TimePicker_decalage = heure(10, 30, 0); })},
        {"DateTimePicker_constat_derive= 15/03/2005",
         avec([](Description& d) { d.DateTimePicker_constat_derive = *date_civile(2005, 3, 15); })},
        {"DateTimePicker_constat_derive= 15/03/2005 10:30:00", avec([](Description& d) {
             d.DateTimePicker_constat_derive = *date_civile(2005, 3, 15) + heure(10, 30, 0);
         })},
        {"DateTimePicker_constat_derive= n'importe quoi",
         avec([](Description& d) { d.DateTimePicker_constat_derive = 0; })},
        {"Edit_nom_fic_sortie.text= a=b",
         avec([](Description& d) { d.Edit_nom_fic_sortie = "a"; })},
        {"edit_na.TEXT=\tNA ", avec([](Description& d) { d.Edit_NA = "\tNA"; })},
        {"Edit_NA.text = NA", def},
        {"suite_coche_liste_graph=  0,2,;1,;;;;  ",
         avec([](Description& d) { d.suite_coche_liste_graph = "0,2,;1,;;;;"; })},
    };
    for (const auto& c : cas) EXPECT_EQ(lire(texte({c.ligne})), c.attendu) << c.ligne;
}

TEST(CleDescription, UneHeureHorsLimitesVaAuJournal) {
    Description d;
    JournalSuivi journal;
    lire_description_texte(texte({"TimePicker_decalage= 25:00:00"}), d, contexte, journal);
    EXPECT_EQ(d.TimePicker_decalage, 0.0);
    ASSERT_EQ(journal.lignes().size(), 1u);
    EXPECT_TRUE(journal.lignes()[0].starts_with(" * erreur date : ")) << journal.lignes()[0];
}

TEST(CleDescription, UnIndexNonEntierArreteLaLectureApresLesClesPrecedentes) {
    Description d = description_par_defaut(contexte);
    d.Edit_masque = "*.ancien";
    d.RadioGroup_methode_ItemIndex = Methode::max;
    d.Label_pas_dsc = "01:00:00";
    d.suite_coche_liste_graph = "ancien";
    JournalSuivi journal;
    const auto r = lire_description_texte(
        texte({"Label_pas_dsc.caption= 00:05:00", "RadioGroup_methode_ItemIndex= moyenne",
               "Edit_masque.text= *.dat", "RadioGroup_avec_sans_intitule_ItemIndex= 1"}),
        d, contexte, journal);
    EXPECT_FALSE(r.complete());
    EXPECT_EQ(r.erreur, fr("'moyenne' n'est pas une valeur entière correcte"));
    // Keys before the method in table order took their values; the rest were not touched.
    EXPECT_EQ(d.Edit_masque, "*.dat");
    EXPECT_EQ(d.RadioGroup_avec_sans_intitule_ItemIndex, Intitules::sans);
    EXPECT_EQ(d.RadioGroup_methode_ItemIndex, Methode::max);
    EXPECT_EQ(d.suite_coche_liste_graph, "ancien");
    EXPECT_EQ(d.Label_pas_dsc, "01:00:00");
}

// Every field away from its default, so a key read into the wrong field shows.
Description description_modifiee() {
    Description d = description_par_defaut(contexte);
    int i = 0;
    for (const auto& c : cles_description()) {
        ++i;
        std::visit(
            [&](auto champ) {
                if constexpr (std::is_same_v<decltype(champ), ChampIndice>) {
                    champ.ecrire(d, i);
                    return;
                } else {
                    using T = std::remove_reference_t<decltype(d.*champ)>;
                    if constexpr (std::is_same_v<T, bool>) {
                        d.*champ = !(d.*champ);
                    } else if constexpr (std::is_same_v<T, double>) {
                        d.*champ = c.forme == Forme::heure
                                       ? heure(i % 24, i, 7)
                                       : *date_civile(2000 + i, 1 + i % 12, 1 + i % 28) +
                                             (i % 2 ? heure(i % 24, 5, 9) : 0.0);
                    } else if (c.forme == Forme::dossier) {
                        d.*champ = fr("/données/n° ") + std::to_string(i) + "/";
                    } else {
                        d.*champ = fr("valeur é ") + std::to_string(i) + "\t;,";
                    }
                }
            },
            c.champ);
    }
    return d;
}

TEST(CleDescription, EcrireLirePreserveLes65Valeurs) {
    const Description d = description_modifiee();
    const std::string t = ecrire_description_texte(d);
    Description relue = description_par_defaut(contexte);
    JournalSuivi journal;
    ASSERT_TRUE(lire_description_texte(t, relue, contexte, journal).complete());
    EXPECT_EQ(relue, d);
    EXPECT_TRUE(journal.lignes().empty());
    EXPECT_NE(relue, description_par_defaut(contexte));
}

TEST(CleDescription, FormatEcrit) {
    Description d = description_par_defaut(contexte);
    d.Edit_NA = fr("é");
    d.TimePicker_decalage = heure(1, 30, 0);
    d.DateTimePicker_constat_derive = *date_civile(2005, 3, 15);
    d.DateTimePicker_debut_derive = *date_civile(2005, 3, 15) + heure(10, 30, 0);
    d.RadioGroup_methode_ItemIndex = Methode::moyenne_vides;
    const std::string t = ecrire_description_texte(d);

    std::vector<std::string> lignes;
    for (std::size_t debut = 0; debut < t.size();) {
        const auto fin = t.find("\r\n", debut);
        ASSERT_NE(fin, std::string::npos) << "every line ends with CR LF";
        lignes.push_back(t.substr(debut, fin - debut));
        debut = fin + 2;
    }
    ASSERT_EQ(lignes.size(), nb_cles_description);
    EXPECT_EQ(lignes.front(), "CheckBox_aide_flottante.Checked= false");
    EXPECT_EQ(lignes[5], "CheckBox_inc_nom.Checked= true");
    EXPECT_EQ(lignes[16], "dossier_choisi= /./");
    EXPECT_EQ(lignes[21], "Edit_equiv_na.text= NA;-1;-99999;-99999.0;-99990.0");
    EXPECT_EQ(lignes[30], "Edit_NA.text= \xE9");
    EXPECT_EQ(lignes[51], "RadioGroup_methode_ItemIndex= 4");
    EXPECT_EQ(lignes[57], "TimePicker_decalage= 01:30:00");
    EXPECT_EQ(lignes[58], "TimePicker_derive_reelle= 00:00:00");
    EXPECT_EQ(lignes[60], "DateTimePicker_constat_derive= 15/03/2005");
    EXPECT_EQ(lignes[61], "DateTimePicker_debut_derive= 15/03/2005 10:30:00");
    EXPECT_EQ(lignes[64], "Label_pas_dsc.caption= 00:15:00");
    // The keys added since the first 65 follow them, with their defaults.
    EXPECT_EQ(lignes[65], "CheckBox_champs_guillemets.Checked= false");
    EXPECT_EQ(lignes[66], "Edit_fuseau_mesures.text= ");
    EXPECT_EQ(lignes[67], "Edit_fuseau_resultat.text= ");
    EXPECT_EQ(lignes[68], "Edit_min_mesures_valides.text= 0");
    EXPECT_EQ(lignes[69], "unite_pas_dsc= ");
    EXPECT_EQ(lignes.back(), "test_strict_dsc= 0");
}

// A file written before the unit and the date test of the last period were kept reads as
// hh:mn:ss and "(inf ou =)"; one that holds them gets them back.
TEST(CleDescription, UniteEtTestDeLaDernierePeriode) {
    Description avant = description_par_defaut(contexte);
    avant.unite_pas_dsc = "3 mois";
    avant.test_strict_dsc = 1;
    const Description ancienne = lire(
        texte({"Label_min_dsc.caption= 01/01/2021 00:00:00", "Label_pas_dsc.caption= 01:00:00"}),
        avant);
    EXPECT_EQ(ancienne.unite_pas_dsc, "");
    EXPECT_EQ(ancienne.test_strict_dsc, 0);
    EXPECT_EQ(ancienne.Label_min_dsc, "01/01/2021 00:00:00");
    const Description relue = lire(ecrire_description_texte(avant));
    EXPECT_EQ(relue.unite_pas_dsc, "3 mois");
    EXPECT_EQ(relue.test_strict_dsc, 1);
    EXPECT_EQ(relue, avant);
}

TEST(CleDescription, UnRetourALaLigneDansUneValeurNeCreePasDeCle) {
    Description d = description_par_defaut(contexte);
    d.Edit_new_desc_colonne = "a\r\nEdit_NA.text= piege\nb";
    const Description relue = lire(ecrire_description_texte(d));
    EXPECT_EQ(relue.Edit_NA, "");
    EXPECT_EQ(relue.Edit_new_desc_colonne, "a  Edit_NA.text");
}

TEST(CleDescription, FinsDeLigneEtContenusQuelconques) {
    const std::string cle = "Edit_masque.text= *.dat";
    Description attendu = description_par_defaut(contexte);
    attendu.Edit_masque = "*.dat";

    EXPECT_EQ(lire("CheckBox_recursif.Checked= false\r" + cle + "\r"), attendu);
    EXPECT_EQ(lire("CheckBox_recursif.Checked= false\n" + cle), attendu);

    // Random bytes, "=" and line ends among them, around one real line.
    std::mt19937 alea(42);
    std::string bruit;
    for (int i = 0; i < 200000; ++i) {
        const char octets[] = {'\0', '=', '\r', '\n', 'a', 'E', '\xC3', '\xFF', ' '};
        bruit += i % 3 == 0 ? octets[alea() % sizeof octets] : static_cast<char>(alea());
    }
    const Description d = lire(bruit + "\r\n" + cle + "\r\n" + bruit);
    EXPECT_EQ(d.Edit_masque, "*.dat");
}

TEST(CleDescription, FichierDe50Mo) {
    // A log file opened as a description by mistake: long lines, then a key at the very end.
    std::string gros;
    const std::string ligne(999, 'x');
    while (gros.size() < 50u * 1000 * 1000) gros += ligne + "=\r\n";
    Description attendu = description_par_defaut(contexte);
    attendu.Edit_NA = "-";
    EXPECT_EQ(lire(gros + "Edit_NA.text= -\r\n"), attendu);

    // Only line ends: no line may cost memory of its own.
    EXPECT_EQ(lire(std::string(50u * 1000 * 1000, '\n')), description_par_defaut(contexte));
}

}  // namespace
}  // namespace tarvo
