#!/usr/bin/env bash
# Makes the test certificates of the HTTPS tests (run by hand; the results are
# committed, the tests never run openssl). A test certificate authority, added
# to the test Wine prefix's root store by the tests themselves, signs:
#   localhost.pem  for "localhost" and 127.0.0.1, valid 2000-2099;
#   othername.pem  for "inny.example" only (a name that does not match);
#   expired.pem    for "localhost", valid 2000-2001 only.
# selfsigned.pem is a certificate for "localhost" that no authority signed.
# The keys are test keys: they protect nothing.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/ca.cnf" <<'CNF'
[ca]
default_ca = test
[test]
database = $ENV::WORK/index.txt
new_certs_dir = $ENV::WORK
serial = $ENV::WORK/serial
default_md = sha256
policy = any
copy_extensions = none
unique_subject = no
[any]
commonName = supplied
CNF
touch "$work/index.txt"
echo 1000 >"$work/serial"
export WORK=$work

# The authority and every certificate are valid from 2000, so that a machine
# whose clock is behind does not fail the tests.
openssl req -newkey rsa:2048 -nodes -keyout ca.key -out "$work/ca.csr" -subj "/CN=Archiwin Test CA (tylko testy)" 2>/dev/null
printf 'basicConstraints=critical,CA:TRUE\nkeyUsage=critical,keyCertSign,cRLSign\nsubjectKeyIdentifier=hash\n' >"$work/ca.ext"
openssl ca -batch -selfsign -config "$work/ca.cnf" -keyfile ca.key -in "$work/ca.csr" -out ca.pem \
  -startdate 20000101000000Z -enddate 20991231235959Z -extfile "$work/ca.ext" -notext 2>/dev/null

issue() { # name cn san start end
  openssl req -newkey rsa:2048 -nodes -keyout "$1.key" -out "$work/$1.csr" -subj "/CN=$2" 2>/dev/null
  printf 'subjectAltName=%s\nbasicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature,keyEncipherment\nextendedKeyUsage=serverAuth\n' "$3" >"$work/$1.ext"
  openssl ca -batch -config "$work/ca.cnf" -cert ca.pem -keyfile ca.key -in "$work/$1.csr" -out "$1.pem" \
    -startdate "$4" -enddate "$5" -extfile "$work/$1.ext" -notext 2>/dev/null
}
issue localhost localhost "DNS:localhost,IP:127.0.0.1" 20000101000000Z 20991231235959Z
issue othername inny.example "DNS:inny.example" 20000101000000Z 20991231235959Z
issue expired localhost "DNS:localhost,IP:127.0.0.1" 20000101000000Z 20011231235959Z

openssl req -newkey rsa:2048 -nodes -keyout selfsigned.key -out "$work/self.csr" -subj "/CN=localhost" 2>/dev/null
printf 'subjectAltName=DNS:localhost,IP:127.0.0.1\nextendedKeyUsage=serverAuth\n' >"$work/self.ext"
openssl ca -batch -selfsign -config "$work/ca.cnf" -keyfile selfsigned.key -in "$work/self.csr" -out selfsigned.pem \
  -startdate 20000101000000Z -enddate 20991231235959Z -extfile "$work/self.ext" -notext 2>/dev/null
rm -f ca.key  # nothing more is to be signed with it
