<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>Error-modbas</name>
    <message>
        <source>Undefined message for code number %1</source>
        <translation>Message non défini pour le code numéro %1</translation>
    </message>
    <message>
        <source>End of execution with %1 error(s) and %2 warning(s)</source>
        <translation>Fin d&apos;exécution avec %1 erreur(s) et %2 avertissement(s)</translation>
    </message>
    <message>
        <source>End of execution with %1%2 warning(s)</source>
        <translation>Fin d&apos;exécution avec %1%2 avertissement(s)</translation>
    </message>
    <message>
        <source>End of execution with 0 error and 0 warning%1%2</source>
        <comment>%1 and %2 are empty string, but must take place in the translation</comment>
        <translation>Fin d&apos;exécution avec 0 erreur et 0 avertissement%1%2</translation>
    </message>
    <message>
        <source>File %1 opening problem</source>
        <translation>Problème d&apos;ouverture du fichier %1</translation>
    </message>
    <message>
        <source>End of execution with %1 error(s)</source>
        <translation>Fin d&apos;exécution avec %1 erreur(s)</translation>
    </message>
    <message>
        <source>Error while opening the command file %1</source>
        <translation>Erreur à l&apos;ouverture du fichier de commandes %1</translation>
    </message>
    <message>
        <source>More errors or warnings than the listing can hold</source>
        <translation>Plus d&apos;erreurs ou d&apos;avertissements que le listing ne peut en contenir</translation>
    </message>
</context>
</TS>
