// Keeps one build of the game for playing offline. The build writes the cache's name and the
// files into the quoted @...@ places; every file but the page itself is named after its
// contents, so a kept copy is never stale and is served without asking the network. The page
// is asked for first (a new build shows at once) and comes from the cache when the network is
// gone. The score service's requests lie outside this folder and always go to the network: a
// result sent offline fails as on the desktop.
var cacheName = '@CACHE_NAME@';
var keptFiles = [@KEPT_FILES@];

self.addEventListener('install', function (event) {
  event.waitUntil(caches.open(cacheName).then(function (cache) { return cache.addAll(keptFiles); })
    .then(function () { return self.skipWaiting(); }));
});

self.addEventListener('activate', function (event) {
  event.waitUntil(caches.keys().then(function (names) {
    return Promise.all(names.filter(function (name) {
      return name.indexOf('pondlark-') === 0 && name !== cacheName;
    }).map(function (name) { return caches.delete(name); }));
  }).then(function () { return self.clients.claim(); }));
});

self.addEventListener('fetch', function (event) {
  var request = event.request;
  // Only the game's own folder: the service's requests are left to the browser untouched.
  if (request.method !== 'GET' || request.url.indexOf(self.registration.scope) !== 0) return;
  if (request.mode === 'navigate') {
    event.respondWith(fetch(request).then(function (response) {
      if (response.ok) {
        var copy = response.clone();
        caches.open(cacheName).then(function (cache) { cache.put('./', copy); });
      }
      return response;
    }).catch(function () {
      return caches.match('./', { cacheName: cacheName }).then(function (kept) {
        return kept || Response.error();
      });
    }));
    return;
  }
  event.respondWith(caches.match(request, { cacheName: cacheName }).then(function (kept) {
    return kept || fetch(request);
  }));
});
