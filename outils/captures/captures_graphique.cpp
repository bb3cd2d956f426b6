// Pictures of the graph window for a person to look at, after a run of the shipped example
// and of a real logger export: five charts, a zoom, a point read-out, one chart alone, the
// 3D view, and the result's first lines beside its first chart.
// Usage: tarvo-captures-graphique <output directory>   (under Xvfb or offscreen)
#include <QAbstractButton>
#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QTimeEdit>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "formats/fichiers.h"
#include "formats/provisoire.h"
#include "outils/captures/atelier_captures.h"
#include "session/session.h"
#include "ui/conversions_qt.h"
#include "ui/fenetre_graphique.h"
#include "ui/fenetre_principale.h"
#include "ui/graphe.h"

namespace {

namespace fs = std::filesystem;

std::string lire(const fs::path& chemin) {
    std::ifstream f(chemin, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

// A description copied into `racine` with its three directories pointing there.
std::string installer(const fs::path& dsc, const std::string& racine) {
    std::string texte = lire(dsc);
    for (const auto& [cle, valeur] :
         {std::pair{std::string("dossier_choisi_sortie="), racine + "donnees/EXPORT/"},
          {"dossier_choisi=", racine + "donnees/"},
          {"dossier_description=", racine}}) {
        const auto debut = texte.find("\n" + cle) + 1;
        texte.replace(debut, texte.find('\r', debut) - debut, cle + " " + valeur);
    }
    const std::string chemin = racine + dsc.filename().string();
    tarvo::ecrire_fichier_atomique(chemin, texte);
    return chemin;
}

// The first lines of the result file beside its first chart shown alone: what a user
// compares first, in one picture about as wide as the window's.
QImage resultat_et_graphe(const std::string& chemin_resultat, const QPixmap& graphe) {
    std::string texte;
    {
        std::ifstream f(chemin_resultat, std::ios::binary);
        std::string ligne;
        for (int i = 0; i < 24 && std::getline(f, ligne); ++i) {
            if (!ligne.empty() && ligne.back() == '\r') ligne.pop_back();
            texte += ligne + "\n";
        }
    }
    constexpr int largeur_texte = 470, largeur_graphe = 770, marge = 12;
    const QPixmap petit = graphe.scaledToWidth(largeur_graphe, Qt::SmoothTransformation);
    QImage image(largeur_texte + largeur_graphe + 3 * marge, petit.height() + 2 * marge,
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    QFont police(QStringLiteral("DejaVu Sans Mono"));
    police.setPixelSize(14);
    p.setFont(police);
    p.setPen(Qt::black);
    p.drawText(QRect(marge, marge, largeur_texte, petit.height()),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere, tarvo::qt(texte));
    p.drawPixmap(largeur_texte + 2 * marge, marge, petit);
    return image;
}

void souris(QWidget* w, QEvent::Type type, QPoint ou, Qt::MouseButton bouton) {
    QMouseEvent e(type, ou, w->mapToGlobal(ou), bouton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : bouton, {});
    QApplication::sendEvent(w, &e);
}

// One run through the main window over [debut, fin] with the given step, then the pictures.
void capturer(const QString& sortie, const QString& prefixe, const fs::path& dsc,
              const fs::path& donnees, QDate debut, QDate fin, QTime pas) {
    const std::string racine = tarvo::racine_captures("tarvo-graphique-" + prefixe.toStdString());
    fs::create_directories(racine + "donnees/EXPORT");
    for (const auto& f : fs::directory_iterator(donnees))
        if (f.is_regular_file() && f.path().extension() != ".dsc")
            fs::copy(f.path(), racine + "donnees/" + f.path().filename().string());
    const std::string chemin = installer(dsc, racine);

    tarvo::AtelierCaptures atelier;
    const auto ouverte = atelier.ouvrir(racine, chemin);
    tarvo::FenetrePrincipale& fenetre = ouverte->fenetre();
    fenetre.findChild<QDateEdit*>("DatePicker_deb")->setDate(debut);
    fenetre.findChild<QDateEdit*>("DatePicker_fin")->setDate(fin);
    fenetre.findChild<QTimeEdit*>("TimePicker_pas")->setTime(pas);
    const auto cliquer = [](QWidget* w, const char* nom) {
        w->findChild<QAbstractButton*>(nom)->click();
    };
    cliquer(&fenetre, "SpeedButton_lister");
    cliquer(&fenetre, "SpeedButton_traiter_fichier");
    cliquer(&fenetre, "SpeedButton_graphique");
    auto* g = fenetre.findChild<tarvo::FenetreGraphique*>();
    g->resize(1280, 800);
    const auto capture = [&](const char* nom) {
        // What the event loop would have done by the time a person looks: the items of
        // the replaced axes are deleted.
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        g->grab().save(sortie + "/" + prefixe + "-" + nom + ".png");
    };
    capture("1-cinq-graphes");
    cliquer(g, "CheckBox1");
    QApplication::processEvents();
    resultat_et_graphe(fenetre.session().fichier_resultat, g->graphe(1)->grab())
        .save(sortie + "/" + prefixe + "-0-resultat.png");
    cliquer(g, "CheckBox1");
    // The read-out of the tenth point of chart 1, then a zoom on chart 2 dragged downwards.
    tarvo::Graphe* un = g->graphe(1);
    if (!un->chart()->series().isEmpty()) {
        auto* serie = static_cast<QLineSeries*>(un->chart()->series().front());
        const QPointF point = serie->at(std::min<qsizetype>(10, serie->count() - 1));
        const QPoint ou =
            un->mapFromScene(un->chart()->mapToScene(un->chart()->mapToPosition(point, serie)));
        souris(un->viewport(), QEvent::MouseButtonPress, ou, Qt::LeftButton);
        souris(un->viewport(), QEvent::MouseButtonRelease, ou, Qt::LeftButton);
        capture("2-lecture-point");
    }
    tarvo::Graphe* deux = g->graphe(2);
    const QRectF zone = deux->chart()->plotArea();
    const QPoint a = (zone.topLeft() + QPointF(zone.width() * 0.3, 5)).toPoint();
    const QPoint b = (zone.topLeft() + QPointF(zone.width() * 0.5, zone.height() - 5)).toPoint();
    souris(deux->viewport(), QEvent::MouseButtonPress, a, Qt::LeftButton);
    souris(deux->viewport(), QEvent::MouseMove, b, Qt::LeftButton);
    souris(deux->viewport(), QEvent::MouseButtonRelease, b, Qt::LeftButton);
    capture("3-zoom-graphe-2");

    cliquer(g, "CheckBox1");
    capture("4-graphe-seul");
    cliquer(g, "CheckBox_3d");
    capture("5-vue-3d");
    cliquer(g, "CheckBox1");
    capture("6-retour-cinq-graphes-3d");
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <dossier>\n", argv[0]);
        return 2;
    }
    const QString sortie = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(sortie);
    capturer(sortie, QStringLiteral("exemple"), fs::path(TARVO_EXEMPLES) / "LeGue_horaire.dsc",
             TARVO_EXEMPLES, QDate(2024, 6, 1), QDate(2024, 6, 15), QTime(1, 0));
    // Six weeks of ten-minute temperatures from an Onset HOBO logger, hourly.
    const fs::path hobo = fs::temp_directory_path() / "tarvo-graphique-hobo-donnees";
    fs::remove_all(hobo);
    fs::create_directories(hobo);
    fs::copy(
        fs::path(TARVO_DONNEES_REELLES) / "onset-hobo" / "QU5_Mooring_15m_20392468_20210803.csv",
        hobo);
    capturer(sortie, QStringLiteral("hobo"), fs::path(TARVO_TESTS_APP) / "hobo_qu5.dsc", hobo,
             QDate(2021, 6, 16), QDate(2021, 7, 27), QTime(1, 0));
    std::printf("%s\n", qPrintable(sortie));
    return 0;
}
