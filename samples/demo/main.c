/* Sample source of the demo project; the device tool needs only its name
   (main.c names the program file main.srf beside it). */
int main(void) { return 0; }
