// The Qt side of the message boxes, progress display, clipboard, editor launch and sound.
#include "ui/plateforme_qt.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <numbers>
#include <optional>
#include <vector>

#include "formats/cp1252.h"
#include "formats/texte.h"
#include "ui/conversions_qt.h"
#include "ui/lanceur_qt.h"
#include "ui/sortie_audio_alsa.h"

using namespace tarvo;

Q_DECLARE_METATYPE(tarvo::Boutons)
Q_DECLARE_METATYPE(tarvo::Reponse)

namespace {

// Acts on the next modal box once it is on screen: a box that nobody answers would hang.
void quand_la_boite_s_ouvre(std::function<void(QWidget*)> action) {
    auto* attente = new QTimer;
    attente->setInterval(10);
    QObject::connect(attente, &QTimer::timeout, [attente, action = std::move(action)] {
        QWidget* boite = QApplication::activeModalWidget();
        if (!boite) return;
        attente->stop();
        attente->deleteLater();
        action(boite);
    });
    attente->start();
}

// "" closes the box with its window button, "Echap" presses Escape, "Entree" Enter, anything
// else clicks the button with that caption (or objectName).
void repondre(const QString& geste) {
    quand_la_boite_s_ouvre([geste](QWidget* boite) {
        if (geste.isEmpty()) {
            boite->close();
        } else if (geste == QLatin1String("Echap")) {
            QTest::keyClick(boite, Qt::Key_Escape);
        } else if (geste == QLatin1String("Entree")) {
            QTest::keyClick(boite, Qt::Key_Return);
        } else {
            for (QPushButton* b : boite->findChildren<QPushButton*>())
                if (b->text() == geste || b->objectName() == geste) return b->click();
            QFAIL(qPrintable(QStringLiteral("pas de bouton ") + geste));
        }
    });
}

}  // namespace

class PlateformeQtTest : public QObject {
    Q_OBJECT

private slots:
    void message_perso_disposition_data();
    void message_perso_disposition();
    void message_perso_resultat_data();
    void message_perso_resultat();
    void question_data();
    void question();
    void question_entree_choisit_le_bouton_par_defaut();
    void message_se_ferme_par_ok();
    void progression_temps_restant_une_fois_par_seconde();
    void dialogues_du_systeme_en_francais();
    void editeur_introuvable_remplace_par_le_bureau();
    void progression_une_mise_a_jour_par_seconde();
    void progression_chronometre_repart_au_changement();
    void progression_transmet_l_arret();
    void presse_papier_aller_retour();
    void editeur_recoit_le_chemin_seul();
    void son_joue_ou_echoue_sans_bloquer();
};

void PlateformeQtTest::message_perso_disposition_data() {
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QStringList>("legendes");
    QTest::newRow("un bouton") << "Fichier introuvable" << QStringList{"OK"};
    QTest::newRow("deux boutons") << "Changer le répertoire ?" << QStringList{"CHANGER", "Annuler"};
    QTest::newRow("trois boutons") << "Le sous-répertoire \\EXPORT n'existe pas"
                                   << QStringList{"GARDER", "CRÉER \\EXPORT", "Annuler"};
    QTest::newRow("ligne longue") << QStringLiteral("court\n") + QString(120, QLatin1Char('M')) +
                                         QStringLiteral("\nfin")
                                  << QStringList{"Corriger", "Continuer", "Annuler"};
    QTest::newRow("légende longue")
        << "?"
        << QStringList{QStringLiteral("Utiliser tels quels ") + QString(40, QLatin1Char('W'))};
}

void PlateformeQtTest::message_perso_disposition() {
    QFETCH(QString, texte);
    QFETCH(QStringList, legendes);
    QWidget fenetre;
    const auto legende = [&](int i) {
        return i < legendes.size() ? cp(legendes[i]) : std::string();
    };
    const auto boite = DialogueQt::construire_message_perso(
        &fenetre, cp(texte), TypeMessage::confirmation, legende(0), legende(1), legende(2));

    QCOMPARE(boite->objectName(), QStringLiteral("MessagePerso"));
    QCOMPARE(boite->windowTitle(), QStringLiteral(" T A R V O "));
    const auto* message = boite->findChild<QLabel*>(QStringLiteral("texte_message"));
    QVERIFY(message);
    QCOMPARE(message->text(), texte);

    // The box is as wide as its widest part asks, and no wider.
    const int n = static_cast<int>(legendes.size());
    int attendue = n * 140 + 30;
    for (const QString& ligne : texte.split(QLatin1Char('\n')))
        attendue = std::max(attendue, message->fontMetrics().horizontalAdvance(ligne) + 100);
    const auto* bouton1 = boite->findChild<QPushButton*>(QStringLiteral("bouton1"));
    for (const QString& l : legendes)
        attendue = std::max(attendue, bouton1->fontMetrics().horizontalAdvance(l) + 100);
    const int largeur = boite->width();
    QVERIFY2(largeur >= attendue, qPrintable(QString::number(largeur)));
    QVERIFY(largeur <= std::max(attendue, message->geometry().right() + 1 + 20));

    // Buttons 140 wide, 50 above the bottom, with equal gaps around them.
    QList<QRect> places;
    for (int i = 1; i <= 3; ++i) {
        const auto* b = boite->findChild<QPushButton*>(QStringLiteral("bouton%1").arg(i));
        QCOMPARE(b != nullptr, i <= n);
        if (b) QCOMPARE(b->text(), legendes[i - 1]);
        if (b) places << b->geometry();
    }
    for (const QRect& r : places) {
        QCOMPARE(r.width(), 140);
        QCOMPARE(r.y(), boite->height() - 50);
        QVERIFY(r.y() > message->geometry().bottom());
    }
    const int gauche = places.front().x();
    const int droite = largeur - places.back().x() - 140;
    if (n == 1) {
        QVERIFY(std::abs(gauche - droite) <= 1);
    } else {
        for (int i = 1; i < n; ++i) QCOMPARE(places[i].x() - places[i - 1].x() - 140, gauche);
        QVERIFY(droite >= gauche && droite <= gauche + n);
    }

    // Centred on the screen.
    const QPoint centre = boite->screen()->availableGeometry().center();
    QVERIFY((boite->geometry().center() - centre).manhattanLength() <= 2);
}

void PlateformeQtTest::message_perso_resultat_data() {
    QTest::addColumn<QString>("geste");
    QTest::addColumn<int>("resultat");
    QTest::newRow("bouton 1") << "bouton1" << 1;
    QTest::newRow("bouton 2") << "bouton2" << 2;
    QTest::newRow("bouton 3") << "bouton3" << 3;
    QTest::newRow("fermée") << "" << 2;
    QTest::newRow("Echap") << "Echap" << 2;
}

void PlateformeQtTest::message_perso_resultat() {
    QFETCH(QString, geste);
    QFETCH(int, resultat);
    DialogueQt dialogue(nullptr);
    repondre(geste);
    QCOMPARE(dialogue.message_perso(
                 IdMessage::garder_ou_creer_export, fr("Le sous-répertoire \\EXPORT n'existe pas"),
                 TypeMessage::confirmation, "GARDER", fr("CRÉER \\EXPORT"), "Annuler"),
             resultat);
}

void PlateformeQtTest::question_data() {
    QTest::addColumn<Boutons>("boutons");
    QTest::addColumn<QStringList>("legendes");
    QTest::addColumn<QString>("geste");
    QTest::addColumn<Reponse>("reponse");
    const QStringList on{"Oui", "Non"}, ona{"Oui", "Non", "Annuler"}, oa{"Oui", "Annuler"};
    QTest::newRow("Oui") << Boutons::oui_non << on << "Oui" << Reponse::oui;
    QTest::newRow("Non") << Boutons::oui_non << on << "Non" << Reponse::non;
    QTest::newRow("oui/non fermée") << Boutons::oui_non << on << "" << Reponse::non;
    QTest::newRow("oui/non Echap") << Boutons::oui_non << on << "Echap" << Reponse::non;
    QTest::newRow("Non à trois") << Boutons::oui_non_annuler << ona << "Non" << Reponse::non;
    QTest::newRow("Annuler à trois")
        << Boutons::oui_non_annuler << ona << "Annuler" << Reponse::annuler;
    QTest::newRow("trois fermée") << Boutons::oui_non_annuler << ona << "" << Reponse::annuler;
    QTest::newRow("oui/annuler Oui") << Boutons::oui_annuler << oa << "Oui" << Reponse::oui;
    QTest::newRow("oui/annuler Echap") << Boutons::oui_annuler << oa << "Echap" << Reponse::annuler;
    QTest::newRow("OK fermée") << Boutons::ok << QStringList{"OK"} << "" << Reponse::ok;
}

void PlateformeQtTest::question() {
    QFETCH(Boutons, boutons);
    QFETCH(QStringList, legendes);
    QFETCH(QString, geste);
    QFETCH(Reponse, reponse);
    DialogueQt dialogue(nullptr);
    QString titre, texte;
    QMessageBox::Icon icone = QMessageBox::NoIcon;
    QStringList vues;
    quand_la_boite_s_ouvre([&](QWidget* boite) {
        auto* mb = qobject_cast<QMessageBox*>(boite);
        titre = boite->windowTitle();
        texte = mb->text();
        icone = mb->icon();
        for (QAbstractButton* b : mb->buttons()) vues << b->text();
        repondre(geste);
    });
    // "<" and ">" are the program's own, not markup.
    QCOMPARE(dialogue.question(IdMessage::choisir_max_pour_cumuls,
                               fr(" Il faudrait choisir l'option <max des n  mesures OK > ?"),
                               TypeMessage::avertissement, boutons),
             reponse);
    QCOMPARE(titre, QStringLiteral(" T A R V O "));
    QCOMPARE(texte, QStringLiteral(" Il faudrait choisir l'option <max des n  mesures OK > ?"));
    QCOMPARE(icone, QMessageBox::Warning);
    vues.sort();
    legendes.sort();
    QCOMPARE(vues, legendes);
}

// Enter presses the first button, or the one the question names: Non where Oui loses data.
void PlateformeQtTest::question_entree_choisit_le_bouton_par_defaut() {
    const struct {
        Boutons boutons;
        std::optional<Reponse> defaut;
        Reponse reponse;
    } cas[] = {
        {Boutons::oui_non, std::nullopt, Reponse::oui},
        {Boutons::oui_non, Reponse::non, Reponse::non},
        {Boutons::oui_non_annuler, Reponse::annuler, Reponse::annuler},
        {Boutons::oui_non_annuler, Reponse::non, Reponse::non},
    };
    for (const auto& c : cas) {
        DialogueQt dialogue(nullptr);
        repondre(QStringLiteral("Entree"));
        QCOMPARE(dialogue.question(IdMessage::ecraser_resultat_partiel, " => écraser ?",
                                   TypeMessage::avertissement, c.boutons, c.defaut),
                 c.reponse);
    }
}

void PlateformeQtTest::progression_temps_restant_une_fois_par_seconde() {
    QLabel Label6, Label_patienter, Label10;
    std::int64_t ms = 0;
    ProgressionQt progression([] { return false; }, [&] { return ms; });
    progression.afficher_dans(&Label6, &Label_patienter, &Label10);
    progression.afficher_temps_restant("reste 12,40 Mo");
    QCOMPARE(Label10.text(), QStringLiteral("reste 12,40 Mo"));
    ms = 500;
    progression.afficher_temps_restant("00:00:09 >> 10:00:09    11,00 Mo");
    QCOMPARE(Label10.text(), QStringLiteral("reste 12,40 Mo"));
    ms = 1000;
    progression.afficher_temps_restant("00:00:08 >> 10:00:09    10,00 Mo");
    QCOMPARE(Label10.text(), QStringLiteral("00:00:08 >> 10:00:09    10,00 Mo"));
}

void PlateformeQtTest::message_se_ferme_par_ok() {
    DialogueQt dialogue(nullptr);
    QMessageBox::Icon icone = QMessageBox::NoIcon;
    quand_la_boite_s_ouvre([&](QWidget* boite) {
        icone = qobject_cast<QMessageBox*>(boite)->icon();
        repondre(QStringLiteral("OK"));
    });
    dialogue.message(IdMessage::fin_traitement, fr("Fichier créé"), TypeMessage::erreur);
    QCOMPARE(icone, QMessageBox::Critical);
}

void PlateformeQtTest::progression_une_mise_a_jour_par_seconde() {
    QLabel Label6, Label_patienter;
    std::int64_t ms = 0;
    ProgressionQt progression([] { return false; }, [&] { return ms; });
    progression.afficher_dans(&Label6, &Label_patienter);
    progression.afficher_progression("fic-1  10%", Progression::chronometre_traitement);
    QCOMPARE(Label6.text(), qt(texte_durees(0, 0, 0)));
    QCOMPARE(Label_patienter.text(), QStringLiteral("fic-1  10%"));
    QVERIFY(!Label_patienter.isHidden());

    // Same displayed second: the step text is left as it was.
    ms = 999;
    progression.afficher_progression("fic-1  11%", Progression::chronometre_traitement);
    QCOMPARE(Label_patienter.text(), QStringLiteral("fic-1  10%"));

    ms = 1100;
    progression.afficher_progression("fic-2  0%", Progression::chronometre_traitement);
    QCOMPARE(Label6.text(), qt(texte_durees(0, 0, 1.1)));
    QCOMPARE(Label_patienter.text(), QStringLiteral("fic-2  0%"));
}

void PlateformeQtTest::progression_chronometre_repart_au_changement() {
    QLabel Label6, Label_patienter;
    std::int64_t ms = 0;
    ProgressionQt progression([] { return false; }, [&] { return ms; });
    progression.afficher_dans(&Label6, &Label_patienter);
    progression.afficher_progression("liste", Progression::chronometre_liste);
    ms += 1100;
    progression.afficher_progression("liste", Progression::chronometre_liste);
    const QString apres_liste = Label6.text();
    QCOMPARE(apres_liste, qt(texte_durees(1.1, 0, 0)));

    // The grid starts from zero and the listing keeps its time.
    progression.afficher_progression("grille", Progression::chronometre_grille);
    QCOMPARE(Label6.text(), apres_liste);

    // Listing again: its stopwatch starts over (shown once the label's second has passed).
    progression.afficher_progression("liste", Progression::chronometre_liste);
    ms += 1100;
    progression.afficher_progression("liste", Progression::chronometre_liste);
    QCOMPARE(Label6.text(), qt(texte_durees(1.1, 0, 0)));

    progression.remettre_a_zero();
    progression.afficher_progression("liste", Progression::chronometre_liste);
    QCOMPARE(Label6.text(), qt(texte_durees(0, 0, 0)));
}

void PlateformeQtTest::progression_transmet_l_arret() {
    QLabel Label6, Label_patienter;
    bool demande_stop = false;
    ProgressionQt progression([&] { return demande_stop; });
    progression.afficher_dans(&Label6, &Label_patienter);
    QVERIFY(!progression.arret_demande());
    // The stop arrives through the events of the window.
    QTimer::singleShot(0, [&] { demande_stop = true; });
    progression.traiter_evenements();
    QVERIFY(progression.arret_demande());
}

void PlateformeQtTest::presse_papier_aller_retour() {
    PressePapierQt presse_papier;
    const std::string texte = fr("é;1,5\t2");
    presse_papier.ecrire_texte(texte);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("é;1,5\t2"));
    QCOMPARE(presse_papier.lire_texte(), texte);

    // Text from another program, with what Windows-1252 cannot hold.
    QGuiApplication::clipboard()->setText(QStringLiteral("€ 3 ≤ 4"));
    QCOMPARE(presse_papier.lire_texte(), fr("€ 3 ? 4"));
}

void PlateformeQtTest::editeur_recoit_le_chemin_seul() {
    QTemporaryDir dossier;
    QVERIFY(dossier.isValid());
    const QString editeur = dossier.filePath(QStringLiteral("editeur.sh"));
    const QString trace = dossier.filePath(QStringLiteral("arguments.txt"));
    QFile script(editeur);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done > '%1.tmp'\n"
                                "mv '%1.tmp' '%1'\n")
                     .arg(trace)
                     .toUtf8());
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);

    // The parameter after the program name is not passed on.
    LanceurQt lanceur([&] { return cp(editeur) + " -multiInst"; });
    const QString fichier = dossier.filePath(QStringLiteral("résultats du jour.txt"));
    QVERIFY(lanceur.ouvrir_dans_editeur(cp(fichier)));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(trace), 10000);
    QFile lu(trace);
    QVERIFY(lu.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(lu.readAll()), QStringLiteral("[%1]\n").arg(fichier));
}

void PlateformeQtTest::son_joue_ou_echoue_sans_bloquer() {
    // 10 ms of tone to ALSA's null device, which takes the samples as they come: played
    // whole and drained, whatever sound card the machine has, or none.
    QTemporaryDir dossier;
    QVERIFY(dossier.isValid());
    const QString configuration = dossier.filePath(QStringLiteral("asound.conf"));
    QFile f(configuration);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("pcm.!default { type null }\n");
    f.close();
    const QByteArray avant = qgetenv("ALSA_CONFIG_PATH");
    qputenv("ALSA_CONFIG_PATH", QFile::encodeName(configuration));
    std::vector<std::int32_t> echantillons(441);
    for (std::size_t i = 0; i < echantillons.size(); ++i)
        echantillons[i] = static_cast<std::int32_t>(std::lround(
            std::sin(2 * std::numbers::pi * 440.0 * static_cast<double>(i) / 44100) * 1e9));
    SortieAudioAlsa sortie;
    const bool joue = sortie.jouer(echantillons, 44100);
    const bool sans_frequence = sortie.jouer(echantillons, 0);
    if (avant.isNull())
        qunsetenv("ALSA_CONFIG_PATH");
    else
        qputenv("ALSA_CONFIG_PATH", avant);
    QVERIFY(joue);
    QVERIFY(!sans_frequence);
}

// The standard buttons and the file dialog speak French once the translations are loaded.
void PlateformeQtTest::dialogues_du_systeme_en_francais() {
    QVERIFY(charger_traductions_qt());
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Annuler"));
    QCOMPARE(QCoreApplication::translate("QFileDialog", "Open"), QStringLiteral("Ouvrir"));
}

// Receives the files the desktop is asked to open, in place of the desktop.
class Bureau : public QObject {
    Q_OBJECT
public:
    QList<QUrl> ouverts;
public slots:
    void ouvrir(const QUrl& adresse) { ouverts << adresse; }
};

// An editor setting that names no program here ("notepad.exe"), or none: the launcher says
// so and asks the desktop nothing, which is left to the core's fallback.
void PlateformeQtTest::editeur_introuvable_remplace_par_le_bureau() {
    Bureau bureau;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &bureau, "ouvrir");
    for (const char* editeur : {"notepad.exe", "notepad++.exe -multiInst", ""}) {
        LanceurQt lanceur([&] { return std::string(editeur); });
        QVERIFY(!lanceur.ouvrir_dans_editeur("/tmp/a.txt"));
    }
    // The desktop's application remains the document opener's.
    LanceurQt lanceur([] { return std::string(); });
    QVERIFY(lanceur.ouvrir_document("/tmp/b.txt"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(bureau.ouverts, QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/tmp/b.txt"))});
}

QTEST_MAIN(PlateformeQtTest)
#include "plateforme_qt_test.moc"
