#include "inventory/intitules.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "description/description.h"
#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/journal_suivi.h"
#include "formats/nombres.h"
#include "formats/texte.h"
#include "inventory/messages.h"
#include "inventory/prelecture.h"
#include "inventory/table_fichiers.h"
#include "plateforme/dialogue.h"
#include "plateforme/lanceur.h"

namespace tarvo {

namespace {

// As many columns as a spreadsheet sheet holds, far above any logger: beyond, the
// separator or the title line is wrong, and every step would carry that many values.
constexpr int max_colonnes_fichier = 16384;

int entier(std::string_view texte) {
    return lire_entier(texte).value_or(0);
}

// The buffer index of a line number typed by the user and counted from a tag line: an
// absurd number only points outside the buffer, it never wraps around.
int index_ligne(int numero, int decalage) {
    const long long index = static_cast<long long>(numero) + decalage - 1;
    return static_cast<int>(std::clamp<long long>(index, -1, INT_MAX / 2));
}

// Alternative titles as one tab-separated list: "," and ";" separate, quotes mean nothing,
// and with a blank separator blanks mean nothing either.
std::string preparer_alternatifs(std::string_view texte, char sep) {
    std::string r;
    r.reserve(texte.size());
    for (const char c : texte) {
        if (c == '"' || (sep == ' ' && c == ' ')) continue;
        r += c == ',' || c == ';' ? '\t' : c;
    }
    return r;
}

// Fields 1 to n of a tab-separated list, each trimmed.
std::string champs_tabules(std::string_view liste, int n) {
    std::string r;
    for (int k = 1; k <= n; ++k) {
        if (k > 1) r += '\t';
        r += extraire_champ(liste, k, '\t');
    }
    return r;
}

// A1, B2, C3… one per column; the letters start again after Z.
std::string intitules_generes(int n) {
    std::string r;
    for (int k = 1; k <= n; ++k) {
        if (k > 1) r += '\t';
        r += static_cast<char>('A' + (k - 1) % 26);
        r += std::to_string(k);
    }
    return r;
}

std::vector<std::string_view> lignes_du_texte(std::string_view texte) {
    std::vector<std::string_view> lignes;
    std::size_t debut = 0;
    for (std::size_t fin; (fin = texte.find('\n', debut)) != std::string_view::npos;
         debut = fin + 1)
        lignes.push_back(texte.substr(debut, fin - debut));
    lignes.push_back(texte.substr(debut));
    return lignes;
}

// The message of a layout that leaves no measurement column; the log keeps it too.
void signaler_une_colonne(std::string_view nom_sep, std::string_view ligne, JournalSuivi& journal,
                          Dialogue& dialogue) {
    const std::string texte = fr("??? avec le séparateur de colonne => ") + std::string(nom_sep) +
                              fr(" une seule colonne de détectée !!!        \n\n") +
                              fr("  vérifier le séparateur de colonne en Entrée") + "\n\n" +
                              fr("  Aide : décompte de la ligne <intitulés d'origine>") + "\n" +
                              "     " + std::to_string(nb_car('\t', ligne)) +
                              " tabulation(s)   \n" + "     " + std::to_string(nb_car(' ', ligne)) +
                              " espace(s)\n" + "     " + std::to_string(nb_car(';', ligne)) +
                              " point-virgule(s)" + "\n" + "     " +
                              std::to_string(nb_car(',', ligne)) + " virgule(s)" + "\n\n" +
                              fr("  vérifier la liste des colonnes à extraire ci-dessous\n\n") +
                              "<" + std::string(ligne) + ">";
    // Its first line names the problem; the others help to find the right separator.
    const auto lignes = lignes_du_texte(texte);
    journal.ajouter_probleme(ProblemeSuivi::une_seule_colonne, lignes.front());
    for (std::size_t i = 1; i < lignes.size(); ++i) journal.ajouter_suivi(lignes[i]);
    dialogue.message_perso(IdMessage::une_seule_colonne, texte, TypeMessage::avertissement,
                           fr("Oui"));
}

void signaler_discordance(int nb_alternatif, int nb_original, std::string_view detail,
                          std::string_view nom_sep, Dialogue& dialogue) {
    dialogue.message(IdMessage::colonnes_alternatives_discordantes,
                     fr(" le nombre de colonnes alternatives (") + std::to_string(nb_alternatif) +
                         fr(") est différent\n\n") + fr(" du nombre original (") +
                         std::to_string(nb_original) + ")" + "\n\n" + std::string(detail) +
                         fr("   ou effacer les intitulés alternatifs\n\n") +
                         fr("   ou le séparateur (") + std::string(nom_sep) + ")",
                     TypeMessage::erreur);
}

}  // namespace

char separateur_entree(const Description& d) {
    switch (d.RadioGroup_separateur_colonne_ItemIndex) {
        case Separateur::tabulation:
            return ';';  // the loader turned the tabulations into ";"
        case Separateur::espace:
            return ' ';
        case Separateur::point_virgule:
            return ';';
        case Separateur::virgule:
            return ',';
        default:
            return '\t';
    }
}

std::string nom_separateur(const Description& d) {
    switch (d.RadioGroup_separateur_colonne_ItemIndex) {
        case Separateur::tabulation:
            return fr("Tabulation");
        case Separateur::espace:
            return fr("Espace");
        case Separateur::point_virgule:
            return fr("Point-virgule");
        case Separateur::virgule:
            return fr("Virgule");
        default:
            return {};
    }
}

int nb_colonnes_dates(const Description& d) {
    return d.RadioGroup_datetime_nb_col_ItemIndex == ColonnesDateHeure::deux ? 2 : 1;
}

PlageDonnees plage_donnees(const Description& d, const TamponLignes& tampon) {
    PlageDonnees plage;
    const int n = tampon.nb_lignes();
    const int num_donnee = entier(d.Edit_num_ligne_donnee);
    const auto derniere_non_blanche = [&] {
        int i = n - 1;
        while (i >= 0 && rogner(tampon.ligne(i)).empty()) --i;
        return i;
    };
    if (d.RadioGroup_numlig_balise_ItemIndex == DebutDonnees::balises) {
        // Without its start tag the file holds no data.
        int balise = n;
        for (int i = 0; i < n; ++i)
            if (contient(tampon.ligne(i), d.Edit_balise_deb)) {
                balise = i;
                break;
            }
        plage.decalage_balise = balise;
        plage.premiere = std::max(0, index_ligne(num_donnee, balise));
        int fin = -1;
        for (int i = n - 1; i >= 0 && fin < 0; --i)
            if (contient(tampon.ligne(i), d.Edit_balise_fin)) fin = i;
        plage.derniere = fin >= 0 ? fin - 1 : derniere_non_blanche();
    } else {
        plage.premiere = std::max(0, index_ligne(num_donnee, 0));
        plage.derniere = derniere_non_blanche();
    }
    return plage;
}

namespace {

// One analysis of a file's layout: the steps share the settings read once and the lines
// they check. Each step returns `continuer` to let the next one run.
class AnalyseIntitules {
public:
    AnalyseIntitules(Description& description, const FichierAnalyse& fichier,
                     ColonnesFichier& colonnes_fichier, const InterlocuteursAnalyse& autour)
        : d(description),
          plage(fichier.plage),
          chemin(fichier.chemin),
          ligne_table(fichier.ligne_table),
          colonnes(colonnes_fichier),
          table(autour.table),
          journal(autour.journal),
          dialogue(autour.dialogue),
          lanceur(autour.lanceur),
          sep(separateur_entree(description)),
          guillemets(description.CheckBox_champs_guillemets),
          nom_sep(nom_separateur(description)),
          dates(nb_colonnes_dates(description)),
          avec_intitules(d.RadioGroup_avec_sans_intitule_ItemIndex != Intitules::sans),
          alternatifs(d.CheckBox_int_col_alternatif),
          premiere(fichier.tampon.ligne(plage.premiere)),
          num_intitules(entier(d.Edit_num_ligne_intitule_col)),
          index_intitules(index_ligne(num_intitules, plage.decalage_balise)),
          titres(fichier.tampon.ligne(index_intitules)) {
        colonnes.nb_colonnes_dates = dates;
    }

    SuiteListage executer() {
        SuiteListage suite = avec_intitules ? verifier_option_avec() : verifier_option_sans();
        if (suite == SuiteListage::continuer)
            suite = avec_intitules ? disposition_avec_intitules() : disposition_sans_intitules();
        return suite == SuiteListage::continuer ? conclure() : suite;
    }

private:
    SuiteListage verifier_option_sans();
    SuiteListage verifier_option_avec();
    SuiteListage disposition_sans_intitules();
    SuiteListage disposition_avec_intitules();
    SuiteListage titres_blancs_alternatifs();
    SuiteListage titres_blancs();
    SuiteListage titres_separes();
    SuiteListage verifier_titres_chiffres();
    int nb_champs_donnees() const;
    void nommer_colonnes_sans_titre(int nb_titres, int nb_donnees);
    SuiteListage conclure();

    void ouvrir() { lanceur.ouvrir_dans_editeur(chemin); }
    SuiteListage une_colonne(std::string_view ligne) {
        signaler_une_colonne(nom_sep, ligne, journal, dialogue);
        ouvrir();
        table.vider();
        return SuiteListage::arreter;
    }

    // Named as the checks name them, so each step reads like the rule it applies.
    Description& d;
    const PlageDonnees& plage;
    const std::string_view chemin;
    const int ligne_table;
    ColonnesFichier& colonnes;
    TableFichiers& table;
    JournalSuivi& journal;
    Dialogue& dialogue;
    Lanceur& lanceur;
    const char sep;
    const bool guillemets;
    const std::string nom_sep;
    const int dates;
    const bool avec_intitules;
    const bool alternatifs;
    const std::string_view premiere;
    const int num_intitules;
    const int index_intitules;
    const std::string_view titres;
};

// The option says "no titles": a first data line made of words looks like titles.
SuiteListage AnalyseIntitules::verifier_option_sans() {
    if (nb_car_numeriques(premiere) >= nb_lettres(premiere)) return SuiteListage::continuer;
    const bool balises = d.RadioGroup_numlig_balise_ItemIndex == DebutDonnees::balises;
    const int numero = plage.premiere + 1;
    const std::string texte =
        fr("la ligne n°") + std::to_string(numero) +
        fr(" semble correspondre à des intitulés de colonnes..") + "\n" + "\n" +
        std::string(premiere) + "\n\n" +
        fr(" Corriger l'option vers : [x] avec intitulé de colonnes et son n° de ligne") + "\n\n" +
        fr(" ou Continuer");
    if (dialogue.message_perso(IdMessage::ligne_semble_intitules, texte, TypeMessage::avertissement,
                               fr("Corriger"), fr("Continuer")) != 1)
        return SuiteListage::continuer;
    d.RadioGroup_avec_sans_intitule_ItemIndex = Intitules::avec;
    d.Edit_num_ligne_intitule_col = std::to_string(numero);
    // Tags go off, so lines are counted from the top of the file again: the data then start
    // below the titles, wherever the tag had put them.
    if (balises || entier(d.Edit_num_ligne_donnee) == numero)
        d.Edit_num_ligne_donnee = std::to_string(numero + 1);
    d.RadioGroup_numlig_balise_ItemIndex = DebutDonnees::numero_de_ligne;
    return SuiteListage::arreter;
}

// The option says "titles": a title line of figures without a date word looks like data.
SuiteListage AnalyseIntitules::verifier_option_avec() {
    const std::string maj = majuscules(titres);
    const int chiffres = nb_car_numeriques(titres);
    const int lettres = nb_lettres(titres);
    if (contient(maj, "DATE") || contient(maj, "TIME") || lettres >= chiffres)
        return SuiteListage::continuer;
    const std::string texte =
        fr("la ligne n°") + std::to_string(index_intitules + 1) +
        fr("  ne semble pas correspondre à une suite d'intitulés de colonnes..") + "\n" + "\n" +
        fr(" le nombre de chiffres (") + std::to_string(chiffres) +
        fr(") est supérieur au nombre de lettres (") + std::to_string(lettres) + ")\n\n" +
        std::string(titres) + "\n\n" +
        fr(" Corriger l'option vers : [x] sans intitulé de colonnes") + "\n\n" +
        fr(" ou Continuer");
    if (dialogue.message_perso(IdMessage::ligne_semble_pas_intitules, texte,
                               TypeMessage::avertissement, fr("Corriger"), fr("Continuer")) != 1)
        return SuiteListage::continuer;
    d.RadioGroup_avec_sans_intitule_ItemIndex = Intitules::sans;
    return SuiteListage::arreter;
}

// Without titles the first data line gives the count, and the titles are generated.
SuiteListage AnalyseIntitules::disposition_sans_intitules() {
    colonnes.ligne_intitules = -1;
    const int nb = nb_champs_donnees();
    colonnes.nb_colonnes_donnees = nb - dates;
    // A count below the date columns means no measurement column just as well.
    if (colonnes.nb_colonnes_donnees <= 0) return une_colonne(premiere);
    colonnes.Edit_intitule_origine = intitules_generes(nb);
    colonnes.intitules =
        alternatifs ? champs_tabules(preparer_alternatifs(d.Edit_new_desc_colonne, sep), nb)
                    : colonnes.Edit_intitule_origine;
    return SuiteListage::continuer;
}

SuiteListage AnalyseIntitules::disposition_avec_intitules() {
    colonnes.ligne_intitules = index_intitules;
    if (index_intitules < 0) {
        dialogue.message(IdMessage::ligne_intitules_nulle, texte_ligne_intitules_nulle(),
                         TypeMessage::erreur);
        ouvrir();
        return SuiteListage::arreter;
    }
    colonnes.Edit_intitule_origine = reparer_accents(titres);
    const SuiteListage suite = guillemets                  ? titres_separes()
                               : sep == ' ' && alternatifs ? titres_blancs_alternatifs()
                               : sep == ' '                ? titres_blancs()
                                                           : titres_separes();
    if (suite != SuiteListage::continuer) return suite;
    // Some recorders name only the first columns: the others are still data, the first
    // data line says how many there are.
    // A separator between quotes is never such a column, even when the quotes are read as
    // text: "1053,225" holds a decimal comma.
    const int nb_titres = nb_car('\t', colonnes.intitules) + 1;
    const int nb_donnees = sep == ' ' ? nb_champs_donnees() : nb_champs_guillemets(premiere, sep);
    const bool sans_titre = nb_titres < nb_donnees;
    if ((sans_titre ? nb_donnees - dates : colonnes.nb_colonnes_donnees) <= 0)
        return une_colonne(titres);
    const SuiteListage chiffres = verifier_titres_chiffres();
    if (chiffres != SuiteListage::continuer) return chiffres;
    if (sans_titre) nommer_colonnes_sans_titre(nb_titres, nb_donnees);
    return SuiteListage::continuer;
}

// The columns of the first data line; blanks that open or close an aligned line separate
// no column, and a separator that closes it ends an empty field.
int AnalyseIntitules::nb_champs_donnees() const {
    if (guillemets) return nb_champs_guillemets(premiere, sep);
    if (sep == ' ') return nb_car(' ', rogner(reduire_blancs(premiere))) + 1;
    return nb_car(sep, premiere) + 1;
}

// A column without a title is named by its number, and the log says so once for the file.
void AnalyseIntitules::nommer_colonnes_sans_titre(int nb_titres, int nb_donnees) {
    for (int k = nb_titres + 1; k <= nb_donnees; ++k)
        colonnes.intitules += "\tcolonne " + std::to_string(k);
    colonnes.nb_colonnes_donnees = nb_donnees - dates;
    journal.ajouter_probleme(
        ProblemeSuivi::intitules_manquants,
        fr("!!! la ligne d'intitulés n°") + std::to_string(index_intitules + 1) +
            fr(" ne nomme que ") + std::to_string(nb_titres) + " des " +
            std::to_string(nb_donnees) +
            fr(" colonnes des données => intitulés ajoutés : colonne ") +
            std::to_string(nb_titres + 1) +
            (nb_donnees > nb_titres + 1 ? fr(" à colonne ") + std::to_string(nb_donnees) : ""));
}

// Blank-separated titles replaced by the alternative ones: both must count alike.
SuiteListage AnalyseIntitules::titres_blancs_alternatifs() {
    const std::string alt = preparer_alternatifs(d.Edit_new_desc_colonne, sep);
    const int nb_alt = nb_car('\t', alt) + 1;
    colonnes.nb_colonnes_donnees = nb_alt - dates;
    const std::string liste = blancs_vers_separateur(titres, ',');
    const int nb_titres = nb_car(',', liste) + 1;
    if (nb_alt != nb_titres) {
        signaler_discordance(nb_alt, nb_titres,
                             d.Edit_new_desc_colonne + "\n" + liste + "\n" +
                                 fr(" => vérifier la similitude . . .\n\n"),
                             nom_sep, dialogue);
        ouvrir();
        return SuiteListage::arreter;
    }
    colonnes.intitules = alt;
    return SuiteListage::continuer;
}

// Blank-separated titles against the first data line; more titles than data columns, the
// user may take a corrected title line as the alternative titles. Fewer titles are only
// the first columns named.
SuiteListage AnalyseIntitules::titres_blancs() {
    const std::string normale = blancs_vers_separateur(titres, ' ');
    const auto [nb_titres, nb_donnees] = comparer_nb_colonnes(normale, premiere, journal);
    if (nb_titres > nb_donnees) {
        const std::string corrigee = remplacer_car(' ', ',', normale);
        const int nb_corrige = nb_car(',', corrigee) + 1;
        const std::string texte =
            fr("1- Valider et LISTER\n\nAvec le séparateur ") + nom_sep + "\n" +
            fr("le nombre de colonnes détectées entre intitulé et données est différent\n\n") +
            fr("nb col (intitulé) = ") + std::to_string(nb_titres) + "\n" + normale + "\n" +
            fr("nb col (données)  = ") + std::to_string(nb_donnees) + "\n" + std::string(premiere) +
            "\n" + fr(" la ligne d'intitulés corrigée suivante contient ") +
            std::to_string(nb_corrige) + " colonnes" + "\n" + corrigee + "\n" +
            fr(" Juste stopper le traitement ===> ( Ok )") + "\n" +
            fr(" Stopper le traitement et utiliser la ligne corrigée alternative => (Oui)");
        if (dialogue.message_perso(IdMessage::nb_colonnes_intitules_donnees_different, texte,
                                   TypeMessage::avertissement, fr("Oui"), fr("OK")) == 1) {
            bool remplacer = true;
            if (d.Edit_new_desc_colonne != corrigee) {
                const std::string confirmation =
                    fr("1- Valider et LISTER\n\n     écraser les intitulés originaux "
                       "contenant ") +
                    std::to_string(nb_titres) + " colonnes\n" + d.Edit_new_desc_colonne + "\n\n" +
                    fr("     avec la correction contenant ") + std::to_string(nb_corrige) +
                    " colonnes\n" + corrigee + "\n" + fr("     ce qui serait en accord avec les ") +
                    std::to_string(nb_donnees) + fr(" de colonnes de données  => (Oui)");
                remplacer =
                    dialogue.question(IdMessage::ecraser_intitules_originaux, confirmation,
                                      TypeMessage::confirmation, Boutons::oui_non) == Reponse::oui;
            }
            if (remplacer) {
                d.CheckBox_int_col_alternatif = true;
                d.Edit_new_desc_colonne = corrigee;
                colonnes.nb_colonnes_donnees = nb_corrige - dates;
            }
            table.vider();
            return SuiteListage::arreter;
        }
    }
    colonnes.nb_colonnes_donnees = nb_donnees - dates;
    colonnes.intitules = remplacer_car(' ', '\t', normale);
    return SuiteListage::continuer;
}

// Titles split by ";" or ","; quoted titles keep the separators they hold. Alternative
// titles must count as many columns.
SuiteListage AnalyseIntitules::titres_separes() {
    colonnes.intitules =
        alternatifs  ? remplacer_car(sep, '\t', preparer_alternatifs(d.Edit_new_desc_colonne, sep))
        : guillemets ? champs_tabules_guillemets(titres, sep)
                     : remplacer_car(sep, '\t', titres);
    const int nb = nb_car('\t', colonnes.intitules) + 1;
    colonnes.nb_colonnes_donnees = nb - dates;
    if (alternatifs) {
        const int nb_titres =
            guillemets ? nb_champs_guillemets(titres, sep) : nb_car(sep, titres) + 1;
        if (nb != nb_titres) {
            signaler_discordance(nb, nb_titres, fr(" => vérifier la similitude ...\n\n"), nom_sep,
                                 dialogue);
            ouvrir();
            return SuiteListage::arreter;
        }
    }
    return SuiteListage::continuer;
}

// Titles made of figures are most likely a data line.
SuiteListage AnalyseIntitules::verifier_titres_chiffres() {
    const std::string& t = colonnes.intitules;
    if (t.empty() ||
        static_cast<double>(nb_car_num_ou_blanc(t)) / static_cast<double>(t.size()) <= 0.9)
        return SuiteListage::continuer;
    const std::string texte =
        fr("a- la ligne n°") + std::to_string(index_intitules + 1) +
        fr("  ne semble pas correspondre à une suite d'intitulés de colonnes...") + "\n" + "\n" +
        std::string(titres) + "\n\n" +
        fr(" proposition => choisir l'option sans intitulé de colonnes") + "\n\n";
    switch (dialogue.message_perso(IdMessage::intitules_semblent_donnees, texte,
                                   TypeMessage::avertissement, fr("Corriger"), fr("Continuer"),
                                   fr("Annuler"))) {
        case 1:
            d.RadioGroup_avec_sans_intitule_ItemIndex = Intitules::sans;
            // The data start on that line, counted as the titles were (from the tag).
            d.Edit_num_ligne_donnee = std::to_string(num_intitules);
            return SuiteListage::relancer;
        case 3:
            return SuiteListage::arreter;
        default:
            return SuiteListage::continuer;
    }
}

// The column count against the ceiling, then the row's cells and the count's caption.
SuiteListage AnalyseIntitules::conclure() {
    const int total = colonnes.nb_colonnes_donnees + dates;
    if (total > max_colonnes_fichier) {
        dialogue.message(IdMessage::trop_de_colonnes,
                         fr(" le fichier ") + nom_de_fichier(chemin) + " compte " +
                             format_entier_groupe(total) +
                             fr(" colonnes\n\n   au-delà de 16 384 colonnes, un fichier de "
                                "données n'est pas traité\n\n   vérifier le séparateur (") +
                             nom_sep + fr(") et le n° de la ligne d'intitulés ..."),
                         TypeMessage::erreur);
        table.vider();
        return SuiteListage::arreter;
    }
    const int r = ligne_table;
    if (r > 0 && r < table.nb_lignes()) {
        table.ecrire_cellule(r, Colonne::nb_colonnes, " " + std::to_string(total));
        table.ecrire_cellule(r, Colonne::ligne_intitules,
                             colonnes.ligne_intitules < 1
                                 ? std::string(" -")
                                 : " " + std::to_string(colonnes.ligne_intitules + 1));
    }
    colonnes.texte_nb_colonnes =
        std::to_string(colonnes.nb_colonnes_donnees) +
        fr(colonnes.nb_colonnes_donnees >= 2 ? " colonnes de données" : " colonne de données");
    return SuiteListage::continuer;
}

}  // namespace

SuiteListage analyser_intitules(Description& d, const FichierAnalyse& fichier,
                                ColonnesFichier& colonnes, const InterlocuteursAnalyse& autour) {
    return AnalyseIntitules(d, fichier, colonnes, autour).executer();
}

std::string resume_colonnes_extraites(const Description& d, std::string_view origine,
                                      std::string_view actuel) {
    if (!d.CheckBox_col_cochee) return "---";
    const std::string& liste_brute = d.Edit_col_cochee;
    if (liste_brute.empty() || (liste_brute.size() > 1 && liste_brute.back() == ','))
        return std::string(actuel);
    const std::string liste = remplacer_car(';', ',', liste_brute);
    // Quoted titles are cut at their tabulations only: they may hold "," and ";".
    const bool guillemets = d.CheckBox_champs_guillemets && !d.CheckBox_int_col_alternatif;
    std::string titres = d.CheckBox_int_col_alternatif ? d.Edit_new_desc_colonne
                         : guillemets ? champs_tabules_guillemets(origine, separateur_entree(d))
                         : separateur_entree(d) == ' ' ? blancs_vers_separateur(origine, ',')
                                                       : std::string(origine);
    if (titres.empty()) return {};
    const char sep_titres = guillemets ? '\t' : ';';
    if (!guillemets)
        for (char& c : titres)
            if (c == '\t' || c == ',') c = ';';
    std::string resume;
    const int nb = nb_car(',', liste) + 1;
    for (int k = 1; k <= nb; ++k) {
        const std::string titre =
            extraire_champ(titres, entier(champ_vue(liste, k, ',')), sep_titres);
        resume += (k == 1 ? "=> " : " | ") + titre;
    }
    return resume;
}

void lister_colonnes(const Description& d, const ColonnesFichier& colonnes, int nb_horodates,
                     std::string_view nom_methode, JournalSuivi& journal, Dialogue& dialogue) {
    journal.ajouter_suivi("===============================================");
    journal.ajouter_suivi(" nb de colonnes de mesure(s) = " +
                          std::to_string(colonnes.nb_colonnes_donnees));
    journal.ajouter_suivi(" nb de colonnes pour les dates/heures = " +
                          std::to_string(colonnes.nb_colonnes_dates));
    std::string brut =
        d.CheckBox_int_col_alternatif ? d.Edit_new_desc_colonne : colonnes.Edit_intitule_origine;
    for (char& c : brut) {
        if (c == ',' || c == ';') c = '\t';
        if (c == '"') c = ' ';
    }
    // Quoted titles are whole already, blanks and separators inside them included.
    std::string titres =
        d.CheckBox_champs_guillemets && !d.CheckBox_int_col_alternatif
            ? champs_tabules_guillemets(colonnes.Edit_intitule_origine, separateur_entree(d))
            : blancs_vers_separateur(brut, '\t');
    const int total = colonnes.nb_colonnes_donnees + colonnes.nb_colonnes_dates;
    // The columns the title line does not name carry the names the listing gave them.
    for (int k = nb_car('\t', titres) + 2; !titres.empty() && k <= total; ++k) {
        const std::string_view nom = champ_vue(colonnes.intitules, k, '\t');
        if (nom.empty()) break;
        titres += '\t';
        titres += nom;
    }
    if (!contient(titres, "\t")) {
        dialogue.message(IdMessage::aucune_colonne_detectee,
                         fr(" le nombre de colonnes détectées est nul :\n\n<") + titres + ">\n\n" +
                             fr("  vérifier les intitulés alternatifs..."),
                         TypeMessage::avertissement);
        return;
    }
    const auto titre = [&](int k) { return extraire_champ(titres, k, '\t'); };
    for (int k = 1; k <= total; ++k) journal.ajouter_suivi(std::to_string(k) + " - " + titre(k));
    if (d.CheckBox_int_col_alternatif) {
        journal.ajouter_suivi("");
        const int nb = nb_car('\t', titres) + 1;
        for (int k = 1; k <= nb; ++k)
            journal.ajouter_suivi("  " + std::to_string(k) + " - " + titre(k));
        journal.ajouter_suivi("...extraire : " + d.Edit_col_cochee + "  => ");
    } else {
        journal.ajouter_suivi("...extraire : _lg=" + titres + "  => ");
    }
    std::vector<int> dates;
    if (colonnes.nb_colonnes_dates == 1) {
        dates.push_back(entier(d.Edit_num_col_datetime));
        journal.ajouter_suivi("<" + titre(dates[0]) + "> date/time = temps");
    } else {
        dates.push_back(entier(d.Edit_num_col_date));
        dates.push_back(entier(d.Edit_num_col_time));
        journal.ajouter_suivi("<" + titre(dates[0]) + "> date");
        journal.ajouter_suivi("<" + titre(dates[1]) + "> time");
    }
    // The extraction list: the chosen columns, else every column but the dates.
    if (d.CheckBox_col_cochee) {
        const std::string liste = remplacer_car(';', ',', d.Edit_col_cochee);
        const int nb = nb_car(',', liste) + 1;
        for (int k = 1; k <= nb; ++k) {
            const std::string_view item = champ_vue(liste, k, ',');
            if (!item.empty()) journal.ajouter_suivi("<" + titre(entier(item)) + ">");
        }
    } else {
        for (int k = 1; k <= total; ++k)
            if (std::find(dates.begin(), dates.end(), k) == dates.end())
                journal.ajouter_suivi("<" + titre(k) + ">");
    }
    journal.ajouter_suivi("<nb(" + std::to_string(nb_horodates - 1) + ")_methode_(" +
                          std::string(nom_methode) + ")>");
}

}  // namespace tarvo
