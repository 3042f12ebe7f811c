// The account (host name, user name, update key) as one generic credential
// in the user's credential manager.
#pragma once

void loadAccount();
void saveAccount();
void deleteAccount();
