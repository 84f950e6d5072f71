#pragma once
// The supervisor's certificate random user PINs are sealed to, picked in the window and
// remembered for that user (%APPDATA%\Vantor\seal-certificate.txt).
#include "win/Afx.h"
#include "workbench/Workbench.h"

// The remembered certificate into `bench`, when one is remembered and still is a certificate
// with an RSA key; otherwise none is in force until the operator picks one.
void PutRememberedSealCertificate(Workbench& bench);
// Asks for a certificate file and puts it in force in `bench`, remembered; one that cannot be
// used is refused in a message box naming the file and why. False when nothing changed.
bool AskAndPutSealCertificate(CWnd& owner, Workbench& bench);
