// A TCP proxy on 127.0.0.1 between the browser and a score server: it counts the bytes the server
// sends, can be switched to another server (a new build), and can be cut off, which is the
// network gone for the page and its service worker alike.
import net from 'node:net';

export async function startSwitchProxy(upstreamPort) {
  let upstream = upstreamPort;
  let online = true;
  let bytesToBrowser = 0;
  const sockets = new Set();
  const server = net.createServer((client) => {
    if (!online) {
      client.destroy();
      return;
    }
    const target = net.connect(upstream, '127.0.0.1');
    sockets.add(client);
    sockets.add(target);
    target.on('data', (chunk) => { bytesToBrowser += chunk.length; });
    client.pipe(target);
    target.pipe(client);
    const close = () => {
      client.destroy();
      target.destroy();
      sockets.delete(client);
      sockets.delete(target);
    };
    client.on('error', close).on('close', close);
    target.on('error', close).on('close', close);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const cutAll = () => { for (const socket of sockets) socket.destroy(); sockets.clear(); };
  return {
    port: server.address().port,
    get bytes() { return bytesToBrowser; },
    resetBytes() { bytesToBrowser = 0; },
    setOnline(on) { online = on; if (!on) cutAll(); },
    // Later connections go to another server; open ones are closed so none stays on the old.
    setUpstream(port) { upstream = port; cutAll(); },
    close() { cutAll(); return new Promise((resolve) => server.close(resolve)); },
  };
}
