// Stripwise 2: designs and prints the key label strips of business key telephones.
#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The main window arrives with the editor; until then say so plainly.
    QMessageBox::information(nullptr, QStringLiteral("Stripwise２"),
                             QStringLiteral("Stripwise２ の編集画面はまだ組み込まれていません。"));
    return 0;
}
