// "single_instance_probe FOLDER MS" says "first" and stays MS milliseconds, printing
// "activated" for each copy started meanwhile, or says "already running" and ends.
#include "app/single_instance.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    quillmark::SingleInstance instance(QString::fromLocal8Bit(argv[1]));
    if (instance.claim() == quillmark::SingleInstance::Outcome::AlreadyRunning) {
        std::puts("already running");
        return 0;
    }
    std::puts("first");
    std::fflush(stdout);
    QObject::connect(&instance, &quillmark::SingleInstance::activationRequested, [] {
        std::puts("activated");
        std::fflush(stdout);
    });
    QTimer::singleShot(std::atoi(argv[2]), &app, &QCoreApplication::quit);
    return QCoreApplication::exec();
}
